// The read and write rules shared by every backend, run against the file
// store; what only the real registry shows is tested under Wine.
#include "shell/Settings.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <variant>

#include "ChangedSettings.h"
#include "TempFolder.h"
#include "platform/FileSettingsStore.h"
#include "shell/Registry.h"

namespace telvorn {
namespace {

using test::Changed;
using test::TempFolder;

// A file store that counts the keys left open and refuses to store the
// value named `refuse`.
class SpyStore final : public SettingsBackend {
public:
    explicit SpyStore(std::filesystem::path base) : inner_(std::move(base)) {}
    std::string refuse;
    int openKeys = 0;

    std::optional<SettingsKey> openKey(SettingsKey parent, std::string_view name, SettingsAccess mode) override
    { return counted(inner_.openKey(parent, name, mode)); }
    std::optional<SettingsKey> createKey(SettingsKey parent, std::string_view name) override
    { return counted(inner_.createKey(parent, name)); }
    SettingsQueryResult queryValue(SettingsKey key, std::string_view name, std::span<std::byte> buffer) override
    { return inner_.queryValue(key, name, buffer); }
    bool setValue(SettingsKey key, std::string_view name, SettingsValueKind kind,
                  std::span<const std::byte> data) override
    { return name != refuse && inner_.setValue(key, name, kind, data); }
    void closeKey(SettingsKey key) override { --openKeys; inner_.closeKey(key); }

private:
    std::optional<SettingsKey> counted(std::optional<SettingsKey> key) { openKeys += key ? 1 : 0; return key; }
    FileSettingsStore inner_;
};

TEST(Registry, TextsUpTo1023CharactersAndNumbersRoundedHalfToEvenThatFit32Bits)
{
    TempFolder dir;
    FileSettingsStore store(dir.path());
    // An empty text is the terminator alone; 1023 characters and the
    // terminator fill the buffer; an inner zero is kept.
    const struct { std::string written, expected; } texts[] = {
        {"", ""}, {std::string(1023, 'a'), std::string(1023, 'a')}, {std::string(1024, 'a'), "default"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& row : texts) {
        EXPECT_TRUE(WriteSetting(store, AppKey, "", "LAT", row.written)) << row.written.size();
        EXPECT_EQ(ReadSetting(store, AppKey, "", "LAT", "default"), row.expected) << row.written.size();
    }
    using Value = std::variant<double, bool, std::int16_t, std::int64_t, std::uint64_t>;
    // Nothing read: the value is refused, and the one stored before stays.
    const struct { Value written; std::optional<std::int32_t> read; } rows[] = {
        {1234.5, 1234}, {1235.5, 1236}, {2147483647.0, 2147483647}, {2147483647.5, std::nullopt},
        {-2147483649.0, std::nullopt}, {std::nan(""), std::nullopt}, {true, -1}, {std::int16_t{-7}, -7},
        {std::int64_t{1} << 40, std::nullopt}, {std::numeric_limits<std::uint64_t>::max(), std::nullopt},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(WriteSetting(store, AppKey, "", "N", 55));
        // The section is accepted and ignored.
        const auto write = [&](auto v) { return WriteSetting(store, AppKey, "a section", "N", v); };
        EXPECT_EQ(std::visit(write, row.written), row.read.has_value()) << row.written.index();
        EXPECT_EQ(ReadSetting(store, AppKey, "", "N", 0), row.read.value_or(55)) << row.written.index();
    }
}

TEST(Settings, FromAnEmptyStoreToASavedOneClosingEveryKey)
{
    TempFolder dir;
    SpyStore store(dir.path() / "config");
    const AppSettings defaults{1000.0f, 1000.0f, 2, false, false, false, "48.721710", "2.374030", 0, false, ""};
    EXPECT_EQ(LoadSettings(store), defaults);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "config")) << "reading creates nothing";
    // A value the store refuses does not stop the others.
    store.refuse = "HSp";
    SaveSettings(store, Changed());
    AppSettings expected = Changed();
    expected.speedFlag = false;
    EXPECT_EQ(LoadSettings(store), expected);
    EXPECT_FALSE(WriteSetting(store, AppKey, "", "HSp", true));
    EXPECT_EQ(ReadSetting(store, "OTHER", "", "COM", -5), -5) << "application keys are apart";
    EXPECT_EQ(store.openKeys, 0);
}

// Each stored number loads into its field, or out of the field's range as
// the default, and a save writes back what was loaded.
TEST(Settings, StoredNumbersConvertToTheirFieldsOrOutOfRangeToTheDefault)
{
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const struct { const char* name; std::int32_t stored, saved; } rows[] = {
        {"SRT", 0, 0}, {"SRT", 18, 18}, {"SRT", 19, 2}, {"SRT", -1, 2}, {"COM", 255, 255}, {"COM", 256, 0},
        {"COM", -1, 0}, {"RAW", 5, -1}, {"LOG", -1, -1}, {"DST", kMin, -1}, {"HSp", 1, -1}, {"MainLeft", -1500, -1500},
        {"Scope", 1, 1}, {"Scope", 3, 0}, {"Scope", -1, 0}, {"ScopeRange", 5, 5}, {"ScopeRange", 400, 400},
        {"ScopeRange", 4, ScopeRangeDefaultNm}, {"ScopeRange", 401, ScopeRangeDefaultNm},
    };
    for (const auto& row : rows) {
        TempFolder dir;
        FileSettingsStore store(dir.path());
        ASSERT_TRUE(WriteSetting(store, AppKey, "", row.name, row.stored));
        SaveSettings(store, LoadSettings(store));
        EXPECT_EQ(ReadSetting(store, AppKey, "", row.name, 12345), row.saved) << row.name << " = " << row.stored;
    }
}

TEST(Settings, MainStateCarriesTheSettingsBothWays)
{
    MainState state;
    state.PosLat[1] = "51.0"; // the last aircraft position, not a setting
    ApplySettings(Changed(), state);
    EXPECT_EQ(state.PosLat, (std::array<std::string, 2>{"-33.9", "51.0"}));
    AppSettings collected = Changed();
    collected.scope = ScopePlace::Hidden; // the window's, not MainState's
    collected.scopeRangeNm = ScopeRangeDefaultNm;
    EXPECT_EQ(CollectSettings(state, 2400.0f, -300.0f, 7, "/dev/ttyUSB0"), collected);
}

} // namespace
} // namespace telvorn
