#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace telvorn {

// The settings sub-key, also the first word of the window caption.
inline constexpr std::string_view AppKey = "ADSB";

inline constexpr std::string_view DefaultLatitude = "48.721710";
inline constexpr std::string_view DefaultLongitude = "2.374030";

// The main window's fields that several subsystems share. One instance lives
// as long as the window; everything runs on its one thread.
struct MainState {
    // Set while a record is written into a row; the purge stays away meanwhile.
    bool TableBusy = false;
    // Raw position output: records carry CPR fields that we decode ourselves.
    bool RawMode = false;
    // Element 0: the configured receiver position; element 1: the last
    // aircraft position, written only by the frame decoder.
    std::array<std::string, 2> PosLat{std::string(DefaultLatitude), std::string()};
    std::array<std::string, 2> PosLon{std::string(DefaultLongitude), std::string()};
    // UTC stamp of the search that found the start of the line being decoded.
    std::string FrameTime;
    std::string FirmwareVersion;

    // Settings fields, read at start-up and written back at shutdown.
    std::int16_t SortColumn = 2;
    bool RawFlag = false;
    bool LogFlag = false;
    bool DstFlag = false;
    bool SpeedFlag = false;
};

} // namespace telvorn
