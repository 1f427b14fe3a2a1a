#include "platform/FileSettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>

#include "ChangedSettings.h"
#include "TempFolder.h"
#include "platform/DefaultSettingsStore.h"
#include "platform/SettingsFileFormat.h"
#include "shell/Registry.h"
#include "shell/Settings.h"

namespace telvorn {
namespace {

using test::Changed;
using test::Read;
using test::TempFolder;

SettingsFileEntry Text(std::string key, std::string t) { return {std::move(key), SettingsValueKind::Text, t, 0}; }
SettingsFileEntry Number(std::string key, std::int32_t n) { return {std::move(key), SettingsValueKind::Number, {}, n}; }

// Bytes no line of the file can be: control, high and zero bytes, a bare
// "=", a lone backslash, a kind never written.
const std::string kJunk("\x01\xFF=\\\x7F\0\r\nLAT:text=1\n\x80\x9B=number:", 29);

TEST(SettingsFileFormat, AnyBytesRoundTripInAPrintableFileAndACutFileKeepsItsWholeLines)
{
    std::string everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    const std::vector<SettingsFileEntry> entries = {Number("RAW", -1), Text("LAT", "48.721710"), Text("LON", ""),
                                                    Text("odd=name\n", everyByte), Number("COM", 255)};
    const std::string file = FormatSettingsFile(entries);
    EXPECT_EQ(ParseSettingsFile(file), entries);
    EXPECT_TRUE(std::all_of(file.begin(), file.end(), [](char c) { return c == '\n' || (c >= 0x20 && c < 0x7F); }));
    EXPECT_NE(file.find("\nRAW=number:-1\nLAT=text:48.721710\n"), std::string::npos);
    for (std::size_t length = 0; length < file.size(); ++length) {
        const auto parsed = ParseSettingsFile(std::string_view(file).substr(0, length));
        ASSERT_LT(parsed.size(), entries.size()) << "cut at " << length;
        EXPECT_TRUE(std::equal(parsed.begin(), parsed.end(), entries.begin())) << length;
    }
}

TEST(SettingsFileFormat, EachLineStandsAloneADamagedOneIsSkipped)
{
    // No entries read: the line is skipped as damaged.
    const struct { std::string lines; std::vector<SettingsFileEntry> read; } rows[] = {
        {"LAT text:1", {}}, {"=number:1", {}}, {"COM=word:1", {}}, {"COM=number:1x", {}},
        {"COM=number:2147483648", {}}, {"LAT=text:\\q", {}}, {"LAT=text:ab\\", {}}, {"LAT=text:\\x4", {}},
        {"LAT=text:\\xZ1", {}}, {"L\\AT=text:1", {}}, {std::string("LAT=text:4\0" "8", 12), {}},
        {kJunk, {}},
        {"COM=number:3\r\nLAT=text:1\r", {Number("COM", 3), Text("LAT", "1")}},
        {"# note\n\nCOM=number:3", {Number("COM", 3)}},
        {"COM=number:3\ncom=text:x", {Text("com", "x")}}, // the later one counts, whatever its case or kind
        {"LAT=text:\xC3\xA9=", {Text("LAT", "\xC3\xA9=")}}, {"LAT=text:\\x3d", {Text("LAT", "=")}},
    };
    for (const auto& row : rows) {
        std::vector<SettingsFileEntry> expected = {Number("SRT", 5)};
        expected.insert(expected.end(), row.read.begin(), row.read.end());
        expected.push_back(Text("LON", "2.5"));
        EXPECT_EQ(ParseSettingsFile("SRT=number:5\n" + row.lines + "\nLON=text:2.5\n"), expected) << row.lines;
    }
}

TEST(FileSettingsStore, AnInterruptedWriteLeavesThePreviousStoreAReplacedOneKeepsItsPermissionsADamagedOneIsRepaired)
{
    using std::filesystem::perms;
    TempFolder dir;
    FileSettingsStore store(dir.path());
    SaveSettings(store, Changed());
    const auto file = store.storeFile(MakerKeyName, AppKey);
    EXPECT_EQ(std::filesystem::status(file).permissions(), perms::owner_read | perms::owner_write);
    const std::string before = Read(file);
    std::filesystem::path abandoned;
    FileSettingsStore crashing(dir.path(), [&](const std::filesystem::path& temporary) {
        abandoned = temporary;
        return false;
    });
    EXPECT_FALSE(WriteSetting(crashing, AppKey, "", "LAT", "99.9"));
    // The new store was whole and beside the old one, as a crash would leave it.
    EXPECT_EQ(abandoned.parent_path(), file.parent_path());
    EXPECT_NE(Read(abandoned).find("\nLAT=text:99.9\n"), std::string::npos);
    EXPECT_EQ(Read(file), before);

    // The next save clears a temporary left long ago, but not one a live
    // writer may still be filling, nor a file of the user's.
    const auto hourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::filesystem::last_write_time(abandoned, hourAgo);
    const auto inFlight = file.string() + ".tmp-Ab12Cd", users = file.string() + ".tmp-mine";
    std::ofstream(inFlight) << "new\n";
    std::ofstream(users) << "mine\n";
    std::filesystem::last_write_time(users, hourAgo);
    std::filesystem::permissions(file, perms::group_read, std::filesystem::perm_options::add);
    EXPECT_TRUE(WriteSetting(store, AppKey, "", "LAT", "99.9"));
    EXPECT_EQ(ReadSetting(store, AppKey, "", "LAT", ""), "99.9");
    EXPECT_EQ(std::filesystem::status(file).permissions(), perms::owner_read | perms::owner_write | perms::group_read);
    EXPECT_FALSE(std::filesystem::exists(abandoned));
    EXPECT_TRUE(std::filesystem::exists(inFlight) && std::filesystem::exists(users));

    // Values of the wrong kind, junk and a last line cut short: the defaults
    // but for the port, and a write repairs the file.
    std::ofstream(file, std::ios::binary) << "COM=number:4\nLAT=number:5\nSRT=text:7\nRAW=text:1\n" << kJunk
                                          << "\nLON=text:12.3";
    AppSettings portOnly;
    portOnly.port = 4;
    EXPECT_EQ(LoadSettings(store), portOnly);
    SaveSettings(store, Changed());
    EXPECT_EQ(LoadSettings(store), Changed());
}

// A folder missing is made; a file in the way of a folder is left alone,
// and so is a folder in the way of the store: the defaults, writes refused.
TEST(FileSettingsStore, AFolderMissingIsMadeAnythingElseInTheWayIsLeftAlone)
{
    TempFolder dir;
    const auto base = dir.path() / "in the way";
    FileSettingsStore missing(dir.path() / "not" / "yet"), blocked(base / "file"), makerBlocked(base / "maker"),
        storeBlocked(base / "store"), nowhere{std::filesystem::path()};
    std::filesystem::create_directories(base / "maker");
    std::filesystem::create_directories(storeBlocked.storeFile(MakerKeyName, AppKey));
    std::ofstream(base / "file") << "mine\n";
    std::ofstream(base / "maker" / MakerKeyName) << "mine too\n";

    SaveSettings(missing, Changed());
    EXPECT_EQ(LoadSettings(missing), Changed());
    for (FileSettingsStore* store : {&blocked, &makerBlocked, &storeBlocked, &nowhere}) {
        EXPECT_FALSE(WriteSetting(*store, AppKey, "", "COM", 4)) << store->baseFolder();
        SaveSettings(*store, Changed());
        EXPECT_EQ(LoadSettings(*store), AppSettings{}) << store->baseFolder();
    }
    EXPECT_EQ(Read(base / "file"), "mine\n");
    EXPECT_EQ(Read(base / "maker" / MakerKeyName), "mine too\n");
    // An application key is one file name in the maker's folder.
    EXPECT_FALSE(WriteSetting(missing, "../escape", "", "COM", 4));
    EXPECT_FALSE(WriteSetting(missing, "", "", "COM", 4));
}

TEST(DefaultSettingsStore, TheOverrideComesFirstThenXdgThenHome)
{
    TempFolder dir;
    using Env = std::map<std::string, std::string>;
    const Env env = {{SettingsDirVariable, (dir.path() / "elsewhere").string()}, {"XDG_CONFIG_HOME", "/x"},
                     {"HOME", "/h"}};
    const auto lookup = [](const Env& e) -> EnvironmentLookup {
        return [e](const char* name) { return e.contains(name) ? e.at(name).c_str() : nullptr; };
    };
    const struct { Env env; std::filesystem::path base; } rows[] = {
        {{{"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}}, "/x"}, {{{"XDG_CONFIG_HOME", "x"}, {"HOME", "/h"}}, "/h/.config"},
        {{{SettingsDirVariable, ""}, {"HOME", "/h"}}, "/h/.config"}, // empty is unset
        {{}, ""}, {env, dir.path() / "elsewhere"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SettingsBaseFolder(lookup(row.env)), row.base);
    auto store = OpenDefaultSettingsStore(lookup(env));
    SaveSettings(*store, Changed());
    EXPECT_NE(Read(dir.path() / "elsewhere" / "Orvalen Software" / "ADSB.conf").find("\nCOM=number:7\n"),
              std::string::npos);
    EXPECT_EQ(LoadSettings(*store), Changed());
}

} // namespace
} // namespace telvorn
