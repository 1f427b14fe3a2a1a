#include <cstdint>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ArgParse.h"
#include "Commands.h"
#include "modes/POS_Calc.h"

namespace telvorn::app {

namespace {

constexpr double kFieldMax = 131071.0; // 17-bit encoded latitude and longitude
constexpr double kDefaultLat = 48.72171;
constexpr double kDefaultLon = 2.37403;

int Usage()
{
    std::fprintf(stderr, "usage: telvorn cpr [--ref LAT,LON] FLAG YZ XZ  (FLAG 0 even / 1 odd, YZ and XZ 0-131071)\n");
    return 2;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "telvorn cpr: %s\n", message.c_str());
    return 2;
}

std::optional<double> ParseField(std::string_view text)
{
    const auto value = ParseDecimal(text);
    if (!value || *value < 0.0 || *value > kFieldMax)
        return std::nullopt;
    return value;
}

} // namespace

int RunCpr(int argc, char** argv)
{
    double refLat = kDefaultLat;
    double refLon = kDefaultLon;
    std::vector<std::string_view> operands;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--ref") {
            if (i + 1 >= argc)
                return Usage();
            const auto ref = ParseLatLon(argv[++i]);
            if (!ref)
                return Fail("reference '" + std::string(argv[i]) +
                            "' is not LAT,LON in degrees (latitude -90..90, longitude -180..180)");
            refLat = ref->first;
            refLon = ref->second;
        } else if (arg.size() > 2 && arg.substr(0, 2) == "--") {
            return Fail("unknown option '" + std::string(arg) + "'");
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() != 3)
        return Usage();

    const auto flag = ParseDecimal(operands[0]);
    if (!flag || (*flag != 0.0 && *flag != 1.0))
        return Fail("format flag '" + std::string(operands[0]) + "' must be 0 (even) or 1 (odd)");
    const auto yz = ParseField(operands[1]);
    if (!yz)
        return Fail("encoded latitude '" + std::string(operands[1]) + "' must be a number from 0 to 131071");
    const auto xz = ParseField(operands[2]);
    if (!xz)
        return Fail("encoded longitude '" + std::string(operands[2]) + "' must be a number from 0 to 131071");

    try {
        POS_Calc decoder;
        decoder.LatLoc(refLat);
        decoder.LonLoc(refLon);
        decoder.LocallyPos(static_cast<std::uint8_t>(*flag), *yz, *xz);
        std::printf("%s %s\n", decoder.LAT().c_str(), decoder.LON().c_str());
    } catch (const std::exception& error) {
        return Fail(std::string("cannot decode: ") + error.what());
    }
    return 0;
}

} // namespace telvorn::app
