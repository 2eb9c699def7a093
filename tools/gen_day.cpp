// Writes a realistic day of field-mill readings to a .vks file: two readings a second, a
// fair-weather field of a few tenths of kV/m with slow drift and noise, and an afternoon
// thunderstorm with swings of about +-10 kV/m and lightning steps that relax back over seconds.
// The seed is fixed (or given), so the same command always writes the same file.
//
//   quillon_gen_day OUT.vks [SEED] [--crlf] [--flashes N]
//   quillon_gen_day OUT.vks [SEED] --live [--rate N] [--start HH:MM:SS] [--count N] [--flashes N]
//
// --flashes N replaces the storm's own lightning steps by N steps of known size (2 to 6 kV/m,
// either way) at random times within the storm, at least a minute apart, and lists each on
// standard output ("flash HH:MM:SS +3.250"), so that flash detection can be checked against them;
// --flashes 0 gives the storm without flashes.
//
// --live appends the day to OUT as a logger does, one line at a time in real time from the given
// clock time (00:00:00 by default): N readings a second of wall time (2 by default, as logged;
// more to watch a day go by faster), until the day ends or --count readings were written.

#include <algorithm>
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
#include <vector>

namespace {
constexpr int READINGS_PER_SECOND = 2;
constexpr int SECONDS_PER_DAY = 86400;
constexpr int READINGS_PER_DAY = SECONDS_PER_DAY * READINGS_PER_SECOND;
constexpr double PI = 3.14159265358979323846;
// The storm: builds up from about 14:00, strongest around 15:30, gone by 17:30.
constexpr double STORM_START = 14.0 * 3600;
constexpr double STORM_PEAK = 15.5 * 3600;
constexpr double STORM_END = 17.5 * 3600;
// Injected flashes: within the storm's stronger part, a minute apart at least.
constexpr double INJECT_FROM = STORM_START + 1800;
constexpr double INJECT_TO = STORM_END - 1800;
constexpr int INJECT_SPACING_SECONDS = 60;
constexpr long MAX_INJECTED = static_cast<long>((INJECT_TO - INJECT_FROM) / 60 / 4);

double Smooth(double x) {
    return x <= 0.0 ? 0.0 : (x >= 1.0 ? 1.0 : x * x * (3.0 - 2.0 * x));
}

// A lightning step put into the storm: at reading nReading, by dStep kV/m.
struct CInjectedFlash {
    int nReading = 0;
    double dStep = 0.0;
};

// The day's readings in order, each drawn from the state the earlier ones left.
class CDayGenerator {
public:
    // The storm's own flashes, or, with bInjected, only those given (in reading order).
    explicit CDayGenerator(unsigned nSeed, bool bInjected = false,
                           std::vector<CInjectedFlash> injected = {})
        : m_rng(nSeed), m_bInjected(bInjected), m_injected(std::move(injected)) {}

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
        // The same draws either way, so injected flashes change nothing else of the day.
        if (dActivity > 0.05 && m_uniform(m_rng) < dActivity * 0.004) {
            // A flash: the field jumps toward the other polarity, then recovers.
            const double dStep = -std::copysign(2.0 + 6.0 * m_uniform(m_rng), m_dStormField + 0.01);
            if (!m_bInjected) {
                m_dStep += dStep;
            }
        }
        while (m_nNextInjected < m_injected.size() && m_injected[m_nNextInjected].nReading <= i) {
            m_dStep += m_injected[m_nNextInjected++].dStep;
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
    inline static const double RELAX = std::exp(-1.0 / (READINGS_PER_SECOND * 4.0));

    std::mt19937_64 m_rng;
    bool m_bInjected;
    std::vector<CInjectedFlash> m_injected;
    std::size_t m_nNextInjected = 0;
    std::normal_distribution<double> m_noise{0.0, 1.0};
    std::uniform_real_distribution<double> m_uniform{0.0, 1.0};
    double m_dDrift = 0.0;
    double m_dStormField = 0.0;
    double m_dStep = 0.0; // a lightning step, relaxing back
};

// N flashes at random whole seconds within the storm, a spacing apart, from a seed of their own,
// listed on standard output.
std::vector<CInjectedFlash> InjectedFlashes(unsigned nSeed, long nCount) {
    std::mt19937_64 rng(nSeed ^ 0x5bd1e995u);
    std::uniform_int_distribution<int> second(static_cast<int>(INJECT_FROM),
                                              static_cast<int>(INJECT_TO));
    std::uniform_real_distribution<double> size(2.0, 6.0);
    std::vector<int> seconds;
    while (static_cast<long>(seconds.size()) < nCount) {
        const int nSecond = second(rng);
        if (std::none_of(seconds.begin(), seconds.end(), [nSecond](int nOther) {
                return std::abs(nOther - nSecond) < INJECT_SPACING_SECONDS;
            })) {
            seconds.push_back(nSecond);
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::vector<CInjectedFlash> flashes;
    for (const int nSecond : seconds) {
        const double dStep = std::round(size(rng) * 1000.0) / 1000.0 * (rng() % 2 == 0 ? 1 : -1);
        flashes.push_back({nSecond * READINGS_PER_SECOND, dStep});
        std::printf("flash %02d:%02d:%02d %+.3f\n", nSecond / 3600, (nSecond / 60) % 60,
                    nSecond % 60, dStep);
    }
    std::fflush(stdout);
    return flashes;
}

int WriteDay(const std::string& strOut, CDayGenerator day, const char* pszEnd) {
    const std::string strTemp = strOut + ".tmp";
    std::FILE* pFile = std::fopen(strTemp.c_str(), "wb");
    if (pFile == nullptr) {
        std::perror(strTemp.c_str());
        return 1;
    }
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
int LogLive(const std::string& strOut, CDayGenerator day, const char* pszEnd, int nStart,
            double dRate, long nCount) {
    std::FILE* pFile = std::fopen(strOut.c_str(), "ab");
    if (pFile == nullptr) {
        std::perror(strOut.c_str());
        return 1;
    }
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
    const char* pszUsage = "usage: %s OUT.vks [SEED] [--crlf] [--flashes N] [--live [--rate N] "
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
    long nFlashes = -1; // the storm's own
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
        } else if (std::strcmp(argv[i], "--flashes") == 0 && bValue) {
            char* pszEnd = nullptr;
            nFlashes = std::strtol(argv[++i], &pszEnd, 10);
            if (*pszEnd != '\0' || nFlashes < 0 || nFlashes > MAX_INJECTED) {
                std::fprintf(stderr, "%s: --flashes takes a whole number from 0 to %ld\n", argv[0],
                             MAX_INJECTED);
                return 2;
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
    CDayGenerator day(nSeed, nFlashes >= 0,
                      nFlashes > 0 ? InjectedFlashes(nSeed, nFlashes)
                                   : std::vector<CInjectedFlash>{});
    return bLive ? LogLive(strOut, std::move(day), pszEnd, nStart, dRate, nCount)
                 : WriteDay(strOut, std::move(day), pszEnd);
}
