#include "shell/Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/FileSettingsStore.h"
#include "shell/Registry.h"

namespace telvorn {
namespace {

using test::TempFolder;

// Passes every call on to a file store, noting the value names in the order
// they are read or written; it can refuse to store one name.
class RecordingStore final : public SettingsBackend {
public:
    explicit RecordingStore(std::filesystem::path base)
        : inner_(std::move(base))
    {
    }

    std::vector<std::string> queried;
    std::vector<std::string> stored;
    std::string refuse;

    std::optional<SettingsKey> openKey(
        SettingsKey parent, std::string_view name, SettingsAccess access) override
    {
        return inner_.openKey(parent, name, access);
    }
    std::optional<SettingsKey> createKey(SettingsKey parent, std::string_view name) override
    {
        return inner_.createKey(parent, name);
    }
    SettingsQueryResult queryValue(
        SettingsKey key, std::string_view name, std::span<std::byte> buffer) override
    {
        queried.emplace_back(name);
        return inner_.queryValue(key, name, buffer);
    }
    bool setValue(SettingsKey key, std::string_view name, SettingsValueKind kind,
        std::span<const std::byte> data) override
    {
        stored.emplace_back(name);
        return name != refuse && inner_.setValue(key, name, kind, data);
    }
    void closeKey(SettingsKey key) override { inner_.closeKey(key); }

private:
    FileSettingsStore inner_;
};

AppSettings Changed()
{
    AppSettings s;
    s.mainLeft = 2400.0f;
    s.mainTop = -300.0f;
    s.sortColumn = 18;
    s.rawFlag = true;
    s.logFlag = true;
    s.dstFlag = true;
    s.latitude = "-33.9";
    s.longitude = "151.2";
    s.port = 7;
    s.speedFlag = true;
    return s;
}

TEST(Settings, EmptyStoreGivesTheDefaults)
{
    TempFolder dir;
    FileSettingsStore store(dir.path());
    const AppSettings s = LoadSettings(store);
    EXPECT_EQ(s.mainLeft, 1000.0f);
    EXPECT_EQ(s.mainTop, 1000.0f);
    EXPECT_EQ(s.sortColumn, 2);
    EXPECT_FALSE(s.rawFlag);
    EXPECT_FALSE(s.logFlag);
    EXPECT_FALSE(s.dstFlag);
    EXPECT_FALSE(s.speedFlag);
    EXPECT_EQ(s.latitude, "48.721710");
    EXPECT_EQ(s.longitude, "2.374030");
    EXPECT_EQ(s.port, 0);
}

TEST(Settings, SavedSettingsLoadBack)
{
    TempFolder dir;
    FileSettingsStore store(dir.path());
    SaveSettings(store, Changed());
    EXPECT_EQ(LoadSettings(store), Changed());
}

TEST(Settings, ReadsAndWritesInTheirFixedOrders)
{
    TempFolder dir;
    RecordingStore store(dir.path());
    SaveSettings(store, Changed());
    LoadSettings(store);
    const std::vector<std::string> writeOrder
        = {"MainLeft", "MainTop", "COM", "HSp", "LAT", "LON", "DST", "SRT", "RAW", "LOG"};
    const std::vector<std::string> readOrder
        = {"MainLeft", "MainTop", "SRT", "RAW", "LOG", "DST", "LAT", "LON", "COM", "HSp"};
    EXPECT_EQ(store.stored, writeOrder);
    EXPECT_EQ(store.queried, readOrder);
}

TEST(Settings, AValueThatCannotBeStoredDoesNotStopTheOthers)
{
    TempFolder dir;
    RecordingStore store(dir.path());
    store.refuse = "HSp";
    SaveSettings(store, Changed());
    AppSettings expected = Changed();
    expected.speedFlag = false;
    EXPECT_EQ(LoadSettings(store), expected);
}

TEST(Settings, StoredNumbersConvertToTheirFields)
{
    struct Row {
        const char* name;
        std::int32_t stored;
        AppSettings expected;
    };
    auto with = [](auto change) {
        AppSettings s;
        change(s);
        return s;
    };
    const std::vector<Row> rows = {
        {"SRT", 0, with([](AppSettings& s) { s.sortColumn = 0; })},
        {"SRT", 18, with([](AppSettings& s) { s.sortColumn = 18; })},
        {"SRT", 19, AppSettings{}},
        {"SRT", -1, AppSettings{}},
        {"SRT", 65538, AppSettings{}},
        {"COM", 255, with([](AppSettings& s) { s.port = 255; })},
        {"COM", 256, AppSettings{}},
        {"COM", -1, AppSettings{}},
        {"RAW", 5, with([](AppSettings& s) { s.rawFlag = true; })},
        {"LOG", -1, with([](AppSettings& s) { s.logFlag = true; })},
        {"DST", std::numeric_limits<std::int32_t>::min(),
            with([](AppSettings& s) { s.dstFlag = true; })},
        {"HSp", 1, with([](AppSettings& s) { s.speedFlag = true; })},
        {"MainLeft", -1500, with([](AppSettings& s) { s.mainLeft = -1500.0f; })},
        {"MainTop", 0, with([](AppSettings& s) { s.mainTop = 0.0f; })},
    };
    for (const auto& row : rows) {
        TempFolder dir;
        FileSettingsStore store(dir.path());
        ASSERT_TRUE(WriteSetting(store, AppKey, "", row.name, row.stored));
        EXPECT_EQ(LoadSettings(store), row.expected) << row.name << " = " << row.stored;
    }
}

TEST(Settings, MainStateFieldsCarryTheSettingsBothWays)
{
    MainState state;
    state.PosLat[1] = "51.0";
    ApplySettings(Changed(), state);
    EXPECT_EQ(state.SortColumn, 18);
    EXPECT_TRUE(state.RawFlag && state.LogFlag && state.DstFlag && state.SpeedFlag);
    EXPECT_EQ(state.PosLat[0], "-33.9");
    EXPECT_EQ(state.PosLon[0], "151.2");
    // Element 1 is the last aircraft position, not a setting.
    EXPECT_EQ(state.PosLat[1], "51.0");
    EXPECT_EQ(CollectSettings(state, 2400.0f, -300.0f, 7), Changed());
}

} // namespace
} // namespace telvorn
