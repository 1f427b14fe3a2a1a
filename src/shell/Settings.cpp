#include "shell/Settings.h"

#include "shell/Registry.h"
#include "table/Columns.h"

namespace telvorn {

namespace {

std::uint8_t PortOf(std::int32_t stored, std::uint8_t fallback)
{
    return stored >= 0 && stored <= 255 ? static_cast<std::uint8_t>(stored) : fallback;
}

ScopePlace ScopePlaceOf(std::int32_t stored)
{
    return stored >= 0 && stored <= 2 ? static_cast<ScopePlace>(stored) : ScopePlace::Hidden;
}

std::int32_t ScopeRangeOf(std::int32_t stored)
{
    return stored >= ScopeRangeMinNm && stored <= ScopeRangeMaxNm ? stored : ScopeRangeDefaultNm;
}

} // namespace

AppSettings LoadSettings(SettingsBackend& store, std::string_view appKey)
{
    const AppSettings defaults;
    AppSettings s;
    auto number = [&](std::string_view name, std::int32_t fallback) {
        return ReadSetting(store, appKey, "", name, fallback);
    };
    auto text = [&](std::string_view name, std::string_view fallback) {
        return ReadSetting(store, appKey, "", name, fallback);
    };
    // Twips stay exact in a float far beyond any screen's extent.
    s.mainLeft = static_cast<float>(number("MainLeft", 1000));
    s.mainTop = static_cast<float>(number("MainTop", 1000));
    s.sortColumn = static_cast<std::int16_t>(ValidSortColumn(number("SRT", defaults.sortColumn)));
    s.rawFlag = number("RAW", 0) != 0;
    s.logFlag = number("LOG", 0) != 0;
    s.dstFlag = number("DST", 0) != 0;
    s.latitude = text("LAT", DefaultLatitude);
    s.longitude = text("LON", DefaultLongitude);
    s.port = PortOf(number("COM", defaults.port), defaults.port);
    s.speedFlag = number("HSp", 0) != 0;
    s.device = text(DeviceValueName, "");
    s.scope = ScopePlaceOf(number(ScopeValueName, 0));
    s.scopeRangeNm = ScopeRangeOf(number(ScopeRangeValueName, ScopeRangeDefaultNm));
    return s;
}

void SaveSettings(SettingsBackend& store, const AppSettings& s, std::string_view appKey)
{
    WriteSetting(store, appKey, "", "MainLeft", s.mainLeft);
    WriteSetting(store, appKey, "", "MainTop", s.mainTop);
    WriteSetting(store, appKey, "", "COM", s.port);
    WriteSetting(store, appKey, "", "HSp", s.speedFlag);
    WriteSetting(store, appKey, "", "LAT", s.latitude);
    WriteSetting(store, appKey, "", "LON", s.longitude);
    WriteSetting(store, appKey, "", "DST", s.dstFlag);
    WriteSetting(store, appKey, "", "SRT", s.sortColumn);
    WriteSetting(store, appKey, "", "RAW", s.rawFlag);
    WriteSetting(store, appKey, "", "LOG", s.logFlag);
    WriteSetting(store, appKey, "", DeviceValueName, s.device);
    WriteSetting(store, appKey, "", ScopeValueName, static_cast<std::int32_t>(s.scope));
    WriteSetting(store, appKey, "", ScopeRangeValueName, s.scopeRangeNm);
}

void ApplySettings(const AppSettings& s, MainState& state)
{
    state.SortColumn = s.sortColumn;
    state.RawFlag = s.rawFlag;
    state.LogFlag = s.logFlag;
    state.DstFlag = s.dstFlag;
    state.PosLat[0] = s.latitude;
    state.PosLon[0] = s.longitude;
    state.SpeedFlag = s.speedFlag;
}

AppSettings CollectSettings(
    const MainState& state, float mainLeft, float mainTop, std::uint8_t port, std::string device)
{
    AppSettings s;
    s.mainLeft = mainLeft;
    s.mainTop = mainTop;
    s.sortColumn = state.SortColumn;
    s.rawFlag = state.RawFlag;
    s.logFlag = state.LogFlag;
    s.dstFlag = state.DstFlag;
    s.latitude = state.PosLat[0];
    s.longitude = state.PosLon[0];
    s.port = port;
    s.speedFlag = state.SpeedFlag;
    s.device = std::move(device);
    return s;
}

} // namespace telvorn
