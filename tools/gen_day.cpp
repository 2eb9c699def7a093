// Writes a realistic day of field-mill readings to a .vks file: two readings a second, a
// fair-weather field of a few tenths of kV/m with slow drift and noise, and an afternoon
// thunderstorm with swings of about +-10 kV/m and lightning steps that relax back over seconds.
// The seed is fixed (or given), so the same command always writes the same file.
//
//   quillon_gen_day OUT.vks [SEED] [--crlf]
//   quillon_gen_day OUT.vks [SEED] --live [--rate N] [--start HH:MM:SS] [--count N]
//
// --live appends the day to OUT as a logger does, one line at a time in real time from the given
// clock time (00:00:00 by default): N readings a second of wall time (2 by default, as logged;
// more to watch a day go by faster), until the day ends or --count readings were written.

#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>

namespace {
constexpr int READINGS_PER_SECOND = 2;
constexpr int SECONDS_PER_DAY = 86400;
constexpr int READINGS_PER_DAY = SECONDS_PER_DAY * READINGS_PER_SECOND;
constexpr double PI = 3.14159265358979323846;

double Smooth(double x) {
    return x <= 0.0 ? 0.0 : (x >= 1.0 ? 1.0 : x * x * (3.0 - 2.0 * x));
}

// The day's readings in order, each drawn from the state the earlier ones left.
class CDayGenerator {
public:
    explicit CDayGenerator(unsigned nSeed) : m_rng(nSeed) {}

    // Reading i (called for i = 0, 1, 2, ...): its line without the line end.
    std::string Next(int i) {
        const double t = static_cast<double>(i) / READINGS_PER_SECOND;
        // Fair weather: the diurnal swell of the global circuit plus a slow random drift.
        m_dDrift = 0.9995 * m_dDrift + 0.004 * m_noise(m_rng);
        const double dFair =
            0.25 + 0.12 * std::sin(2 * PI * (t / SECONDS_PER_DAY - 0.3)) + m_dDrift;

        double dActivity = 0.0;
        if (t > STORM_START && t < STORM_END) {
            dActivity = t < STORM_PEAK ? Smooth((t - STORM_START) / (STORM_PEAK - STORM_START))
                                       : Smooth((STORM_END - t) / (STORM_END - STORM_PEAK));
        }
        // Under the cloud the field swings through both polarities over minutes.
        const double dTarget =
            dActivity * 9.0 * std::sin(2 * PI * t / 900.0) * std::cos(2 * PI * t / 2300.0 + 0.7);
        m_dStormField += 0.02 * (dTarget - m_dStormField) + dActivity * 0.15 * m_noise(m_rng);
        if (dActivity > 0.05 && m_uniform(m_rng) < dActivity * 0.004) {
            // A flash: the field jumps toward the other polarity, then recovers.
            m_dStep += -std::copysign(2.0 + 6.0 * m_uniform(m_rng), m_dStormField + 0.01);
        }
        m_dStep *= RELAX;
        const double dValue = dFair + m_dStormField + m_dStep + 0.01 * m_noise(m_rng);

        const int nSecond = static_cast<int>(t);
        char sz[64];
        std::snprintf(sz, sizeof sz, "%02d:%02d:%02d,%.3f", nSecond / 3600, (nSecond / 60) % 60,
                      nSecond % 60, dValue);
        return sz;
    }

private:
    // The storm: builds up from about 14:00, strongest around 15:30, gone by 17:30.
    static constexpr double STORM_START = 14.0 * 3600;
    static constexpr double STORM_PEAK = 15.5 * 3600;
    static constexpr double STORM_END = 17.5 * 3600;
    inline static const double RELAX = std::exp(-1.0 / (READINGS_PER_SECOND * 4.0));

    std::mt19937_64 m_rng;
    std::normal_distribution<double> m_noise{0.0, 1.0};
    std::uniform_real_distribution<double> m_uniform{0.0, 1.0};
    double m_dDrift = 0.0;
    double m_dStormField = 0.0;
    double m_dStep = 0.0; // a lightning step, relaxing back
};

int WriteDay(const std::string& strOut, unsigned nSeed, const char* pszEnd) {
    const std::string strTemp = strOut + ".tmp";
    std::FILE* pFile = std::fopen(strTemp.c_str(), "wb");
    if (pFile == nullptr) {
        std::perror(strTemp.c_str());
        return 1;
    }
    CDayGenerator day(nSeed);
    for (int i = 0; i < READINGS_PER_DAY; ++i) {
        std::fprintf(pFile, "%s%s", day.Next(i).c_str(), pszEnd);
    }
    if (std::fclose(pFile) != 0 || std::rename(strTemp.c_str(), strOut.c_str()) != 0) {
        std::perror(strOut.c_str());
        std::remove(strTemp.c_str());
        return 1;
    }
    return 0;
}

// Appends the readings from nStart on, each line in one write, at dRate readings a second.
int LogLive(const std::string& strOut, unsigned nSeed, const char* pszEnd, int nStart, double dRate,
            long nCount) {
    std::FILE* pFile = std::fopen(strOut.c_str(), "ab");
    if (pFile == nullptr) {
        std::perror(strOut.c_str());
        return 1;
    }
    CDayGenerator day(nSeed);
    for (int i = 0; i < nStart; ++i) {
        (void)day.Next(i); // the same day as the batch mode writes, from the start time on
    }
    const auto tBegin = std::chrono::steady_clock::now();
    for (long n = 0; nStart + n < READINGS_PER_DAY && (nCount < 0 || n < nCount); ++n) {
        const auto tDue = tBegin + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                       std::chrono::duration<double>(n / dRate));
        std::this_thread::sleep_until(tDue);
        const std::string strLine = day.Next(static_cast<int>(nStart + n)) + pszEnd;
        if (std::fwrite(strLine.data(), 1, strLine.size(), pFile) != strLine.size() ||
            std::fflush(pFile) != 0) {
            std::perror(strOut.c_str());
            std::fclose(pFile);
            return 1;
        }
    }
    return std::fclose(pFile) == 0 ? 0 : 1;
}

bool ParseStart(const char* psz, int* pnReading) {
    int h = 0;
    int m = 0;
    int s = 0;
    if (std::sscanf(psz, "%2d:%2d:%2d", &h, &m, &s) != 3 || h > 23 || m > 59 || s > 59) {
        return false;
    }
    *pnReading = (h * 3600 + m * 60 + s) * READINGS_PER_SECOND;
    return true;
}
} // namespace

int main(int argc, char** argv) {
    const char* pszUsage = "usage: %s OUT.vks [SEED] [--crlf] [--live [--rate N] "
                           "[--start HH:MM:SS] [--count N]]\n";
    const auto usageError = [&](const char* pszWhy, const char* pszArg) {
        std::fprintf(stderr, "%s: %s%s\n", argv[0], pszWhy, pszArg);
        std::fprintf(stderr, pszUsage, argv[0]);
        return 2;
    };
    // Help wins wherever it is asked for, before anything is written.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf(pszUsage, argv[0]);
            return 0;
        }
    }
    std::string strOut;
    bool bSeed = false;
    unsigned nSeed = 20040101;
    bool bCrLf = false;
    bool bLive = false;
    double dRate = READINGS_PER_SECOND;
    int nStart = 0;
    long nCount = -1;
    for (int i = 1; i < argc; ++i) {
        const bool bValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--crlf") == 0) {
            bCrLf = true;
        } else if (std::strcmp(argv[i], "--live") == 0) {
            bLive = true;
        } else if (std::strcmp(argv[i], "--rate") == 0 && bValue) {
            dRate = std::strtod(argv[++i], nullptr);
        } else if (std::strcmp(argv[i], "--start") == 0 && bValue) {
            if (!ParseStart(argv[++i], &nStart)) {
                return usageError("bad start time: ", argv[i]);
            }
        } else if (std::strcmp(argv[i], "--count") == 0 && bValue) {
            nCount = std::strtol(argv[++i], nullptr, 10);
        } else if (argv[i][0] == '-') {
            return usageError("unknown option or missing value: ", argv[i]);
        } else if (strOut.empty()) {
            strOut = argv[i];
        } else if (!bSeed) {
            char* pszEnd = nullptr;
            errno = 0;
            const unsigned long nValue = std::strtoul(argv[i], &pszEnd, 10);
            if (*pszEnd != '\0' || errno != 0 || nValue > UINT_MAX) {
                return usageError("the seed is a whole number, not: ", argv[i]);
            }
            nSeed = static_cast<unsigned>(nValue);
            bSeed = true;
        } else {
            return usageError("one output file and one seed at most, not also: ", argv[i]);
        }
    }
    if (strOut.empty()) {
        return usageError("no output file given", "");
    }
    if (!(dRate > 0.0)) {
        std::fprintf(stderr, "%s: --rate must be above 0\n", argv[0]);
        return 2;
    }
    const char* pszEnd = bCrLf ? "\r\n" : "\n";
    return bLive ? LogLive(strOut, nSeed, pszEnd, nStart, dRate, nCount)
                 : WriteDay(strOut, nSeed, pszEnd);
}
