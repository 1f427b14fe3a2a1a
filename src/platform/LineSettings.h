#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace telvorn {

enum class Parity { None, Even, Odd, Mark, Space };

// A serial line-settings text such as "115200,n,8,1" taken apart.
struct LineSettings {
    int bitsPerSecond = 0;
    Parity parity = Parity::None;
    int dataBits = 8;
    // 1, 15 (for 1.5) or 2.
    int stopBits = 1;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// "speed,parity,data,stop": parity one of n, e, o, m, s (either case), 5 to 8
// data bits, 1, 1.5 or 2 stop bits. Empty for anything else.
std::optional<LineSettings> ParseLineSettings(std::string_view text);

// The line settings the speed flag selects.
inline constexpr std::string_view kHighSpeedLine = "1000000,n,8,1";
inline constexpr std::string_view kNormalSpeedLine = "115200,n,8,1";

// The device of port number n where no device is chosen: "COMn" on Windows,
// the n-th standard serial device elsewhere ("/dev/ttyS0" for 1). Empty for
// numbers below 1.
std::string DefaultDeviceOfPort(int number);

} // namespace telvorn
