#include "shell/Registry.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <vector>

#include "TempFolder.h"
#include "platform/FileSettingsStore.h"

namespace telvorn {
namespace {

using test::TempFolder;

constexpr std::string_view kApp = "ADSB";

std::array<std::byte, 4> RawNumber(SettingsBackend& store, std::string_view name)
{
    std::array<std::byte, 4> bytes{};
    const auto maker = store.openKey(SettingsBackend::Base, MakerKeyName, SettingsAccess::Read);
    EXPECT_TRUE(maker);
    if (!maker)
        return bytes;
    const auto app = store.openKey(*maker, kApp, SettingsAccess::Read);
    EXPECT_TRUE(app);
    if (app) {
        const auto result = store.queryValue(*app, name, bytes);
        EXPECT_EQ(result.status, SettingsQueryStatus::Ok);
        EXPECT_EQ(result.kind, SettingsValueKind::Number);
        store.closeKey(*app);
    }
    store.closeKey(*maker);
    return bytes;
}

TEST(Registry, EmptyStoreGivesDefaultsAndReadingCreatesNothing)
{
    TempFolder dir;
    FileSettingsStore store(dir.path() / "config");
    EXPECT_EQ(ReadSetting(store, kApp, "", "MainLeft", 1000), 1000);
    EXPECT_EQ(ReadSetting(store, kApp, "", "LAT", "48.721710"), "48.721710");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "config"));
}

TEST(Registry, TextValuesRoundTripUpToTheBufferLimit)
{
    std::string everyByte;
    for (int b = 1; b < 256; ++b)
        everyByte += static_cast<char>(b);
    struct Row {
        const char* what;
        std::string written;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"empty text is not the default", "", ""},
        {"1023 characters and terminator fill the buffer", std::string(1023, 'a'),
            std::string(1023, 'a')},
        {"1024 characters do not fit", std::string(1024, 'a'), "default"},
        {"far too long", std::string(5000, 'z'), "default"},
        {"every non-zero byte", everyByte, everyByte},
        {"inner zero byte kept", std::string("a\0b", 3), std::string("a\0b", 3)},
        {"format's own characters", "x=text:1\\n\n#", "x=text:1\\n\n#"},
        {"blanks kept", "  48.5  ", "  48.5  "},
    };
    for (const auto& row : rows) {
        TempFolder dir;
        FileSettingsStore store(dir.path());
        EXPECT_TRUE(WriteSetting(store, kApp, "", "LAT", row.written)) << row.what;
        EXPECT_EQ(ReadSetting(store, kApp, "", "LAT", "default"), row.expected) << row.what;
    }
}

TEST(Registry, NumbersRoundHalfToEvenAndRefuseWhatDoesNotFit)
{
    struct Row {
        const char* what;
        double written;
        bool stored;
        std::int32_t expected;
    };
    const std::vector<Row> rows = {
        {"1234.5 down to even", 1234.5, true, 1234},
        {"1235.5 up to even", 1235.5, true, 1236},
        {"below a half", 7.49, true, 7},
        {"negative half to even", -2.5, true, -2},
        {"negative, away from the half", -3.5, true, -4},
        {"largest", 2147483647.0, true, 2147483647},
        {"smallest", -2147483648.0, true, std::numeric_limits<std::int32_t>::min()},
        {"rounds past the largest", 2147483647.5, false, 0},
        {"too small", -2147483649.0, false, 0},
        {"not a number", std::nan(""), false, 0},
        {"infinite", std::numeric_limits<double>::infinity(), false, 0},
    };
    for (const auto& row : rows) {
        TempFolder dir;
        FileSettingsStore store(dir.path());
        ASSERT_TRUE(WriteSetting(store, kApp, "", "MainLeft", 55));
        EXPECT_EQ(WriteSetting(store, kApp, "", "MainLeft", row.written), row.stored) << row.what;
        // A refused value leaves the one stored before.
        EXPECT_EQ(ReadSetting(store, kApp, "", "MainLeft", 0), row.stored ? row.expected : 55)
            << row.what;
    }
}

TEST(Registry, IntegerAndBooleanArgumentsAreStoredAsNumbers)
{
    TempFolder dir;
    FileSettingsStore store(dir.path());
    EXPECT_TRUE(WriteSetting(store, kApp, "", "RAW", true));
    EXPECT_TRUE(WriteSetting(store, kApp, "", "LOG", false));
    EXPECT_TRUE(WriteSetting(store, kApp, "", "SRT", std::int16_t{-7}));
    EXPECT_TRUE(WriteSetting(store, kApp, "", "COM", std::uint8_t{255}));
    EXPECT_FALSE(WriteSetting(store, kApp, "", "HSp", std::int64_t{1} << 40));
    EXPECT_FALSE(WriteSetting(store, kApp, "", "HSp", std::numeric_limits<std::uint64_t>::max()));

    const std::array<std::byte, 4> allOnes{
        std::byte{0xFF}, std::byte{0xFF}, std::byte{0xFF}, std::byte{0xFF}};
    EXPECT_EQ(RawNumber(store, "RAW"), allOnes);
    EXPECT_EQ(ReadSetting(store, kApp, "", "RAW", 0), -1);
    EXPECT_EQ(ReadSetting(store, kApp, "", "LOG", 7), 0);
    EXPECT_EQ(ReadSetting(store, kApp, "", "SRT", 0), -7);
    EXPECT_EQ(ReadSetting(store, kApp, "", "COM", 0), 255);
    EXPECT_EQ(ReadSetting(store, kApp, "", "HSp", 9), 9);
}

TEST(Registry, TheDefaultDecidesTheKindReadAndTheSectionIsIgnored)
{
    TempFolder dir;
    FileSettingsStore store(dir.path());
    ASSERT_TRUE(WriteSetting(store, kApp, "any section", "LAT", "12.5"));
    ASSERT_TRUE(WriteSetting(store, kApp, "", "COM", 4));
    EXPECT_EQ(ReadSetting(store, kApp, "other", "LAT", "d"), "12.5");
    EXPECT_EQ(ReadSetting(store, kApp, "", "LAT", 99), 99);
    EXPECT_EQ(ReadSetting(store, kApp, "", "COM", "d"), "d");
}

TEST(Registry, ApplicationKeysAreSeparate)
{
    TempFolder dir;
    FileSettingsStore store(dir.path());
    ASSERT_TRUE(WriteSetting(store, "ADSB", "", "COM", 4));
    EXPECT_EQ(ReadSetting(store, "OTHER", "", "COM", 0), 0);
    EXPECT_FALSE(WriteSetting(store, "../escape", "", "COM", 4));
    EXPECT_FALSE(WriteSetting(store, "", "", "COM", 4));
}

// A store that can be told to fail at any step, and that counts its keys.
class FaultyStore final : public SettingsBackend {
public:
    bool failOpen = false;
    bool failCreate = false;
    bool failQuery = false;
    bool failSet = false;
    std::vector<SettingsAccess> openAccess;
    int creates = 0;
    int sets = 0;
    int openKeys = 0;

    std::optional<SettingsKey> openKey(
        SettingsKey, std::string_view, SettingsAccess access) override
    {
        openAccess.push_back(access);
        return failOpen ? std::nullopt : issue();
    }
    std::optional<SettingsKey> createKey(SettingsKey, std::string_view) override
    {
        ++creates;
        return failCreate ? std::nullopt : issue();
    }
    SettingsQueryResult queryValue(
        SettingsKey, std::string_view, std::span<std::byte> buffer) override
    {
        if (failQuery)
            return {};
        std::memset(buffer.data(), 0x11, 4);
        return {SettingsQueryStatus::Ok, SettingsValueKind::Number, 4};
    }
    bool setValue(
        SettingsKey, std::string_view, SettingsValueKind, std::span<const std::byte>) override
    {
        ++sets;
        return !failSet;
    }
    void closeKey(SettingsKey) override { --openKeys; }

private:
    std::optional<SettingsKey> issue()
    {
        ++openKeys;
        return SettingsKey{next_++};
    }
    std::uintptr_t next_ = 1;
};

TEST(Registry, ReadsOpenForReadingOnlyNeverCreateAndCloseEveryKey)
{
    struct Row {
        const char* what;
        bool failOpen;
        bool failQuery;
        std::int32_t expected;
    };
    const std::vector<Row> rows = {
        {"keys missing", true, false, -5},
        {"value missing", false, true, -5},
        {"value read", false, false, 0x11111111},
    };
    for (const auto& row : rows) {
        FaultyStore store;
        store.failOpen = row.failOpen;
        store.failQuery = row.failQuery;
        EXPECT_EQ(ReadSetting(store, kApp, "", "COM", -5), row.expected) << row.what;
        EXPECT_EQ(ReadSetting(store, kApp, "", "LAT", "d"), "d") << row.what;
        EXPECT_EQ(store.creates, 0) << row.what;
        EXPECT_EQ(store.openKeys, 0) << row.what;
        for (const auto access : store.openAccess)
            EXPECT_EQ(access, SettingsAccess::Read) << row.what;
    }
}

TEST(Registry, WritesOpenForWritingCreateWhenMissingAndCloseEveryKey)
{
    struct Row {
        const char* what;
        bool failOpen;
        bool failCreate;
        bool failSet;
        int creates;
        int sets;
        bool stored;
    };
    const std::vector<Row> rows = {
        {"keys exist", false, false, false, 0, 1, true},
        {"keys created", true, false, false, 2, 1, true},
        {"keys cannot be created", true, true, false, 1, 0, false},
        {"store refused", false, false, true, 0, 1, false},
    };
    for (const auto& row : rows) {
        FaultyStore store;
        store.failOpen = row.failOpen;
        store.failCreate = row.failCreate;
        store.failSet = row.failSet;
        EXPECT_EQ(WriteSetting(store, kApp, "", "COM", 3), row.stored) << row.what;
        EXPECT_EQ(store.creates, row.creates) << row.what;
        EXPECT_EQ(store.sets, row.sets) << row.what;
        EXPECT_EQ(store.openKeys, 0) << row.what;
        for (const auto access : store.openAccess)
            EXPECT_EQ(access, SettingsAccess::ReadWrite) << row.what;
    }
}

} // namespace
} // namespace telvorn
