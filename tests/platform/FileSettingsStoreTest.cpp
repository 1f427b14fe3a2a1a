#include "platform/FileSettingsStore.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "TempFolder.h"
#include "platform/DefaultSettingsStore.h"
#include "shell/Registry.h"
#include "shell/Settings.h"

namespace telvorn {
namespace {

using test::TempFolder;

std::string Slurp(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void Put(const std::filesystem::path& file, std::string_view contents)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

AppSettings Changed()
{
    AppSettings s;
    s.mainLeft = 4000.0f;
    s.sortColumn = 5;
    s.logFlag = true;
    s.latitude = "10.5";
    s.port = 3;
    return s;
}

TEST(FileSettingsStore, KeepsTheMakerFolderAndAReadableStoreFile)
{
    TempFolder dir;
    FileSettingsStore store(dir.path());
    SaveSettings(store, AppSettings{});
    const auto file = dir.path() / "Orvalen Software" / "ADSB.conf";
    EXPECT_EQ(store.storeFile(MakerKeyName, AppKey), file);
    const std::string text = Slurp(file);
    for (const char* line :
        {"\nMainLeft=number:1000\n", "\nMainTop=number:1000\n", "\nCOM=number:0\n",
            "\nHSp=number:0\n", "\nLAT=text:48.721710\n", "\nLON=text:2.374030\n",
            "\nDST=number:0\n", "\nSRT=number:2\n", "\nRAW=number:0\n", "\nLOG=number:0\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST(FileSettingsStore, DamagedStoreReadsAsDefaultsValueByValue)
{
    std::string junk(2000, '\0');
    std::mt19937 random(7);
    for (auto& c : junk)
        c = static_cast<char>(random() & 0xFF);
    struct Row {
        const char* what;
        std::string contents;
        AppSettings expected;
    };
    AppSettings portOnly;
    portOnly.port = 4;
    const std::vector<Row> rows = {
        {"random bytes", junk, AppSettings{}},
        {"random bytes around one good line", junk + "\nCOM=number:4\n" + junk, portOnly},
        {"cut off in the middle of a value", "COM=number:4\nLAT=text:12.3", portOnly},
        {"wrong kinds", "COM=number:4\nLAT=number:5\nSRT=text:7\nRAW=text:1\n", portOnly},
        {"zero bytes", std::string("COM=number:4\nLAT=\0\0\0\nLON\0=text:1\n", 33), portOnly},
        {"a huge line", "COM=number:4\nLAT=text:" + std::string(300000, '9') + "\n", portOnly},
        {"empty file", "", AppSettings{}},
    };
    for (const auto& row : rows) {
        TempFolder dir;
        FileSettingsStore store(dir.path());
        Put(store.storeFile(MakerKeyName, AppKey), row.contents);
        EXPECT_EQ(LoadSettings(store), row.expected) << row.what;
        // Writing repairs the store from what could be read.
        AppSettings changed = row.expected;
        changed.sortColumn = 9;
        SaveSettings(store, changed);
        EXPECT_EQ(LoadSettings(store), changed) << row.what;
    }
}

TEST(FileSettingsStore, StoreThatIsNotAFileGivesDefaultsAndRefusesWrites)
{
    TempFolder dir;
    FileSettingsStore store(dir.path());
    std::filesystem::create_directories(store.storeFile(MakerKeyName, AppKey));
    EXPECT_EQ(LoadSettings(store), AppSettings{});
    EXPECT_FALSE(WriteSetting(store, AppKey, "", "COM", 4));
    EXPECT_EQ(ReadSetting(store, AppKey, "", "COM", 0), 0);
}

TEST(FileSettingsStore, StoreWithoutALocationGivesDefaultsAndRefusesWrites)
{
    FileSettingsStore store{std::filesystem::path()};
    EXPECT_FALSE(WriteSetting(store, AppKey, "", "COM", 4));
    EXPECT_EQ(LoadSettings(store), AppSettings{});
}

TEST(FileSettingsStore, AWriteCutShortBeforeItsRenameLeavesThePreviousStore)
{
    TempFolder dir;
    {
        FileSettingsStore store(dir.path());
        SaveSettings(store, Changed());
    }
    const auto file = dir.path() / "Orvalen Software" / "ADSB.conf";
    const std::string before = Slurp(file);

    std::filesystem::path abandoned;
    FileSettingsStore crashing(dir.path(), [&](const std::filesystem::path& temporary) {
        abandoned = temporary;
        return false;
    });
    EXPECT_FALSE(WriteSetting(crashing, AppKey, "", "LAT", "99.9"));
    // The abandoned file is complete and sits beside the store, as after a crash.
    EXPECT_EQ(abandoned.parent_path(), file.parent_path());
    EXPECT_NE(Slurp(abandoned).find("LAT=text:99.9"), std::string::npos);
    EXPECT_EQ(Slurp(file), before);

    FileSettingsStore next(dir.path());
    EXPECT_EQ(LoadSettings(next), Changed());
    EXPECT_TRUE(WriteSetting(next, AppKey, "", "LAT", "99.9"));
    EXPECT_EQ(ReadSetting(next, AppKey, "", "LAT", ""), "99.9");
}

TEST(FileSettingsStore, ReplacingKeepsTheStoresPermissions)
{
    TempFolder dir;
    FileSettingsStore store(dir.path());
    ASSERT_TRUE(WriteSetting(store, AppKey, "", "COM", 1));
    const auto file = store.storeFile(MakerKeyName, AppKey);
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(file).permissions(), perms::owner_read | perms::owner_write);
    std::filesystem::permissions(file, perms::owner_read | perms::owner_write | perms::group_read);
    ASSERT_TRUE(WriteSetting(store, AppKey, "", "COM", 2));
    EXPECT_EQ(std::filesystem::status(file).permissions(),
        perms::owner_read | perms::owner_write | perms::group_read);
}

TEST(DefaultSettingsStore, TheOverrideComesFirstThenXdgThenHome)
{
    struct Row {
        const char* what;
        std::map<std::string, std::string> env;
        std::filesystem::path expected;
    };
    const std::vector<Row> rows = {
        {"override",
            {{"TELVORN_SETTINGS_DIR", "/t/dir"}, {"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}},
            "/t/dir"},
        {"xdg", {{"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}}, "/x"},
        {"relative xdg is ignored", {{"XDG_CONFIG_HOME", "rel"}, {"HOME", "/h"}}, "/h/.config"},
        {"empty values are unset",
            {{"TELVORN_SETTINGS_DIR", ""}, {"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}}, "/h/.config"},
        {"nothing", {}, ""},
    };
    for (const auto& row : rows) {
        const auto lookup = [&](const char* name) -> const char* {
            const auto it = row.env.find(name);
            return it == row.env.end() ? nullptr : it->second.c_str();
        };
        EXPECT_EQ(SettingsBaseFolder(lookup), row.expected) << row.what;
    }
}

TEST(DefaultSettingsStore, WritesGoWhereTheOverridePoints)
{
    TempFolder dir;
    const std::string override = (dir.path() / "elsewhere").string();
    auto store = OpenDefaultSettingsStore([&](const char* name) -> const char* {
        return std::string_view(name) == SettingsDirVariable ? override.c_str() : nullptr;
    });
    SaveSettings(*store, Changed());
    EXPECT_TRUE(std::filesystem::is_regular_file(
        dir.path() / "elsewhere" / "Orvalen Software" / "ADSB.conf"));
    EXPECT_EQ(LoadSettings(*store), Changed());
}

} // namespace
} // namespace telvorn
