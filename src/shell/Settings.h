#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/SettingsBackend.h"
#include "table/MainState.h"

namespace telvorn {

// Where the scope stands in the main window: not shown, to the right of the
// table and status bar, or under them.
enum class ScopePlace : std::uint8_t { Hidden = 0, Beside = 1, Below = 2 };

// The scope's range, centre to the nearer edge, in whole nautical miles.
inline constexpr std::int32_t ScopeRangeMinNm = 5;
inline constexpr std::int32_t ScopeRangeMaxNm = 400;
inline constexpr std::int32_t ScopeRangeDefaultNm = 200;

// The ten persistent settings as the main window holds them, with the
// defaults that an empty store gives.
struct AppSettings {
    // Window edges in twips.
    float mainLeft = 1000.0f;
    float mainTop = 1000.0f;
    std::int16_t sortColumn = 2;
    bool rawFlag = false;
    bool logFlag = false;
    bool dstFlag = false;
    std::string latitude{DefaultLatitude};
    std::string longitude{DefaultLongitude};
    // 0: no port chosen yet, so start-up asks for one.
    std::uint8_t port = 0;
    bool speedFlag = false;
    // Added to the ten: the serial device chosen on systems whose ports have
    // names rather than numbers ("/dev/ttyUSB0"); empty on Windows, where
    // "COM" alone names the port.
    std::string device;
    // Added too: whether and where the scope is shown, and its range.
    ScopePlace scope = ScopePlace::Hidden;
    std::int32_t scopeRangeNm = ScopeRangeDefaultNm;

    friend bool operator==(const AppSettings&, const AppSettings&) = default;
};

// The value that keeps the chosen serial device, read and written after the ten.
inline constexpr std::string_view DeviceValueName = "Device";
// The scope's values, read and written after "Device": its place as a number
// (0 hidden, 1 beside the table, 2 below it) and its range in nautical miles.
// A stored place or range outside those gives the default.
inline constexpr std::string_view ScopeValueName = "Scope";
inline constexpr std::string_view ScopeRangeValueName = "ScopeRange";

// Reads the ten values once, in the start-up order, and converts them to
// their fields. A stored number that does not fit its field (a sort column
// outside the table's 19 columns, a port outside 0..255) gives the field's
// default.
AppSettings LoadSettings(SettingsBackend& store, std::string_view appKey = AppKey);

// Writes all ten values, in the shutdown order, whether or not they changed.
// A value that cannot be stored is skipped and the rest are still written.
void SaveSettings(
    SettingsBackend& store, const AppSettings& settings, std::string_view appKey = AppKey);

// The settings fields of the main window; window position and port number
// belong to the window and the serial port, not to MainState.
void ApplySettings(const AppSettings& settings, MainState& state);
AppSettings CollectSettings(
    const MainState& state, float mainLeft, float mainTop, std::uint8_t port, std::string device = {});

} // namespace telvorn
