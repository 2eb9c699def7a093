// Writes a realistic day of field-mill readings to a .vks file: two readings a second, a
// fair-weather field of a few tenths of kV/m with slow drift and noise, and an afternoon
// thunderstorm with swings of about +-10 kV/m and lightning steps that relax back over seconds.
// The seed is fixed (or given), so the same command always writes the same file.
//
//   quillon_gen_day OUT.vks [SEED] [--crlf]

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {
constexpr int READINGS_PER_SECOND = 2;
constexpr int SECONDS_PER_DAY = 86400;
constexpr double PI = 3.14159265358979323846;

double Smooth(double x) {
    return x <= 0.0 ? 0.0 : (x >= 1.0 ? 1.0 : x * x * (3.0 - 2.0 * x));
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.vks [SEED] [--crlf]\n", argv[0]);
        return 2;
    }
    unsigned nSeed = 20040101;
    bool bCrLf = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--crlf") == 0) {
            bCrLf = true;
        } else {
            nSeed = static_cast<unsigned>(std::strtoul(argv[i], nullptr, 10));
        }
    }
    const std::string strOut = argv[1];
    const std::string strTemp = strOut + ".tmp";
    std::FILE* pFile = std::fopen(strTemp.c_str(), "wb");
    if (pFile == nullptr) {
        std::perror(strTemp.c_str());
        return 1;
    }
    std::mt19937_64 rng(nSeed);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);

    // The storm: builds up from about 14:00, strongest around 15:30, gone by 17:30.
    const double dStormStart = 14.0 * 3600;
    const double dStormPeak = 15.5 * 3600;
    const double dStormEnd = 17.5 * 3600;
    double dDrift = 0.0;
    double dStormField = 0.0;
    double dStep = 0.0; // a lightning step, relaxing back
    const double dRelax = std::exp(-1.0 / (READINGS_PER_SECOND * 4.0));
    const char* pszEnd = bCrLf ? "\r\n" : "\n";

    for (int i = 0; i < SECONDS_PER_DAY * READINGS_PER_SECOND; ++i) {
        const double t = static_cast<double>(i) / READINGS_PER_SECOND;
        // Fair weather: the diurnal swell of the global circuit plus a slow random drift.
        dDrift = 0.9995 * dDrift + 0.004 * noise(rng);
        const double dFair = 0.25 + 0.12 * std::sin(2 * PI * (t / SECONDS_PER_DAY - 0.3)) + dDrift;

        double dActivity = 0.0;
        if (t > dStormStart && t < dStormEnd) {
            dActivity = t < dStormPeak ? Smooth((t - dStormStart) / (dStormPeak - dStormStart))
                                       : Smooth((dStormEnd - t) / (dStormEnd - dStormPeak));
        }
        // Under the cloud the field swings through both polarities over minutes.
        const double dTarget =
            dActivity * 9.0 * std::sin(2 * PI * t / 900.0) * std::cos(2 * PI * t / 2300.0 + 0.7);
        dStormField += 0.02 * (dTarget - dStormField) + dActivity * 0.15 * noise(rng);
        if (dActivity > 0.05 && uniform(rng) < dActivity * 0.004) {
            // A flash: the field jumps toward the other polarity, then recovers.
            dStep += -std::copysign(2.0 + 6.0 * uniform(rng), dStormField + 0.01);
        }
        dStep *= dRelax;
        const double dValue = dFair + dStormField + dStep + 0.01 * noise(rng);

        const int nSecond = static_cast<int>(t);
        std::fprintf(pFile, "%02d:%02d:%02d,%.3f%s", nSecond / 3600, (nSecond / 60) % 60,
                     nSecond % 60, dValue, pszEnd);
    }
    if (std::fclose(pFile) != 0 || std::rename(strTemp.c_str(), strOut.c_str()) != 0) {
        std::perror(strOut.c_str());
        std::remove(strTemp.c_str());
        return 1;
    }
    return 0;
}
