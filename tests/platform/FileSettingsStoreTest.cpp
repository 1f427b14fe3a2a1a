#include "platform/FileSettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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

SettingsFileEntry Text(std::string name, std::string text)
{
    return {std::move(name), SettingsValueKind::Text, std::move(text), 0};
}

SettingsFileEntry Number(std::string name, std::int32_t number)
{
    return {std::move(name), SettingsValueKind::Number, "", number};
}

std::string RandomBytes(std::size_t size)
{
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (auto& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

TEST(SettingsFileFormat, AnyBytesRoundTripInAPrintableFileAndACutFileKeepsItsWholeLines)
{
    std::string everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    const std::vector<SettingsFileEntry> entries = {Number("RAW", -1), Text("LAT", "48.721710"),
        Text("LON", ""), Text("odd=name\n", everyByte), Number("COM", 255)};
    const std::string file = FormatSettingsFile(entries);
    EXPECT_EQ(ParseSettingsFile(file), entries);
    for (const char c : file)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);
    EXPECT_NE(file.find("\nRAW=number:-1\nLAT=text:48.721710\n"), std::string::npos);
    for (std::size_t length = 0; length < file.size(); ++length) {
        const auto parsed = ParseSettingsFile(std::string_view(file).substr(0, length));
        ASSERT_LT(parsed.size(), entries.size()) << "cut at " << length;
        EXPECT_TRUE(std::equal(parsed.begin(), parsed.end(), entries.begin())) << length;
    }
}

TEST(SettingsFileFormat, EachLineStandsAloneADamagedOneIsSkipped)
{
    struct Row {
        const char* what;
        std::string lines;
        std::vector<SettingsFileEntry> read; // none: skipped as damaged
    };
    const std::vector<Row> rows = {
        {"no equals sign", "LAT text:1", {}},
        {"empty name", "=number:1", {}},
        {"unknown kind", "COM=word:1", {}},
        {"number with junk after it", "COM=number:1x", {}},
        {"number too large", "COM=number:2147483648", {}},
        {"unknown escape", "LAT=text:\\q", {}},
        {"escape at the end", "LAT=text:ab\\", {}},
        {"short hex escape", "LAT=text:\\x4", {}},
        {"bad hex digit", "LAT=text:\\xZ1", {}},
        {"bad escape in the name", "L\\AT=text:1", {}},
        {"zero byte", std::string("LAT=text:4\0" "8", 12), {}},
        {"random bytes", RandomBytes(4096), {}},
        {"carriage returns", "COM=number:3\r\nLAT=text:1\r", {Number("COM", 3), Text("LAT", "1")}},
        {"comments and blank lines", "# note\n\nCOM=number:3", {Number("COM", 3)}},
        {"later duplicate counts, whatever its case or kind", "COM=number:3\ncom=text:x",
            {Text("com", "x")}},
        {"raw high bytes and an equals sign", "LAT=text:\xC3\xA9=", {Text("LAT", "\xC3\xA9=")}},
        {"lower-case hex escape", "LAT=text:\\x3d", {Text("LAT", "=")}},
    };
    for (const auto& row : rows) {
        std::vector<SettingsFileEntry> expected = {Number("SRT", 5)};
        expected.insert(expected.end(), row.read.begin(), row.read.end());
        expected.push_back(Text("LON", "2.5"));
        EXPECT_EQ(ParseSettingsFile("SRT=number:5\n" + row.lines + "\nLON=text:2.5\n"), expected)
            << row.what;
    }
}

TEST(FileSettingsStore, DamagedStoreReadsAsDefaultsValueByValueAndAWriteRepairsIt)
{
    AppSettings portOnly;
    portOnly.port = 4;
    struct Row {
        const char* what;
        std::string contents;
        AppSettings expected;
    };
    const std::vector<Row> rows = {
        {"random bytes", RandomBytes(2000), AppSettings{}},
        {"truncated in a value", "COM=number:4\nLAT=text:12.3", portOnly},
        {"wrong kinds", "COM=number:4\nLAT=number:5\nSRT=text:7\nRAW=text:1\n", portOnly},
    };
    for (const auto& row : rows) {
        TempFolder dir;
        FileSettingsStore store(dir.path());
        const auto file = store.storeFile(MakerKeyName, AppKey);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << row.contents;
        EXPECT_EQ(LoadSettings(store), row.expected) << row.what;
        SaveSettings(store, Changed());
        EXPECT_EQ(LoadSettings(store), Changed()) << row.what;
    }
}

TEST(FileSettingsStore, AStoreThatCannotBeOpenedGivesDefaultsAndRefusesWrites)
{
    TempFolder dir;
    FileSettingsStore folderInTheWay(dir.path()), nowhere{std::filesystem::path()};
    std::filesystem::create_directories(folderInTheWay.storeFile(MakerKeyName, AppKey));
    for (FileSettingsStore* store : {&folderInTheWay, &nowhere}) {
        EXPECT_FALSE(WriteSetting(*store, AppKey, "", "COM", 4));
        EXPECT_EQ(LoadSettings(*store), AppSettings{});
    }
    // An application key is one file name in the maker's folder.
    EXPECT_FALSE(WriteSetting(folderInTheWay, "../escape", "", "COM", 4));
    EXPECT_FALSE(WriteSetting(folderInTheWay, "", "", "COM", 4));
}

TEST(FileSettingsStore, AnInterruptedWriteLeavesThePreviousStoreAReplacedOneKeepsItsPermissionsAndClearsOldTemporaries)
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
    EXPECT_EQ(LoadSettings(store), Changed());

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
    EXPECT_EQ(std::filesystem::status(file).permissions(),
        perms::owner_read | perms::owner_write | perms::group_read);
    EXPECT_FALSE(std::filesystem::exists(abandoned));
    EXPECT_TRUE(std::filesystem::exists(inFlight));
    EXPECT_TRUE(std::filesystem::exists(users));
}

TEST(FileSettingsStore, AFolderMissingIsMadeAFileInItsWayIsLeftAlone)
{
    TempFolder dir;
    const auto base = dir.path() / "not" / "yet";
    FileSettingsStore missing(base), blocked(dir.path() / "blocked"), makerBlocked(dir.path() / "maker");
    std::ofstream(dir.path() / "blocked") << "mine\n";
    std::filesystem::create_directories(dir.path() / "maker");
    std::ofstream(dir.path() / "maker" / MakerKeyName) << "mine too\n";

    SaveSettings(missing, Changed());
    EXPECT_EQ(LoadSettings(missing), Changed());
    for (FileSettingsStore* store : {&blocked, &makerBlocked}) {
        SaveSettings(*store, Changed());
        EXPECT_EQ(LoadSettings(*store), AppSettings{});
    }
    EXPECT_EQ(Read(dir.path() / "blocked"), "mine\n");
    EXPECT_EQ(Read(dir.path() / "maker" / MakerKeyName), "mine too\n");
}

// A process killed at any moment of a save, again and again: the store
// always reads whole, each value the one saved before or the one being saved.
TEST(FileSettingsStore, AProcessKilledWhileSavingLeavesEachValueOldOrNew)
{
    TempFolder dir;
    const AppSettings a = {4000.0f, 1000.0f, 5, false, true, false, "10.5", "-2.25", 3, false, "/dev/ttyACM0"};
    const AppSettings b = Changed();
    FileSettingsStore store(dir.path());
    SaveSettings(store, a);
    const auto file = store.storeFile(MakerKeyName, AppKey);
    const std::size_t whole = ParseSettingsFile(Read(file)).size();
    ASSERT_GE(whole, 11u);
    std::mt19937 random(3);
    int torn = 0, rounds = 0;
    for (; rounds < 400 && torn < 5; ++rounds) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FileSettingsStore writer(dir.path());
            for (;;) {
                SaveSettings(writer, b);
                SaveSettings(writer, a);
            }
        }
        ::usleep(useconds_t(1000 + random() % 20000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        EXPECT_EQ(ParseSettingsFile(Read(file)).size(), whole) << "round " << rounds;
        const AppSettings now = LoadSettings(store);
        const auto either = [&](auto field) { return now.*field == a.*field || now.*field == b.*field; };
        EXPECT_TRUE(either(&AppSettings::mainLeft) && either(&AppSettings::mainTop) &&
            either(&AppSettings::sortColumn) && either(&AppSettings::latitude) &&
            either(&AppSettings::longitude) && either(&AppSettings::port) && either(&AppSettings::device))
            << "round " << rounds << ": " << Read(file);
        // A kill between writing the new file and renaming it leaves the
        // new file beside the store; the next save goes on regardless.
        int left = 0;
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path()))
            left += entry.path() != file;
        torn += left > 0;
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path()))
            if (entry.path() != file)
                std::filesystem::remove(entry.path());
    }
    EXPECT_EQ(torn, 5) << "no kill landed inside a write in " << rounds << " rounds";
    std::printf("[ figures  ] %d kills, %d inside a write\n", rounds, torn);
}

TEST(DefaultSettingsStore, TheOverrideComesFirstThenXdgThenHome)
{
    using Env = std::map<std::string, std::string>;
    const auto lookup = [](const Env& env) -> EnvironmentLookup {
        return [&env](const char* name) {
            return env.contains(name) ? env.at(name).c_str() : nullptr;
        };
    };
    EXPECT_EQ(SettingsBaseFolder(lookup({{"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}})), "/x");
    EXPECT_EQ(SettingsBaseFolder(lookup({{"XDG_CONFIG_HOME", "x"}, {"HOME", "/h"}})), "/h/.config");
    EXPECT_EQ(SettingsBaseFolder(lookup({{SettingsDirVariable, ""}, {"HOME", "/h"}})), "/h/.config")
        << "empty is unset";
    EXPECT_EQ(SettingsBaseFolder(lookup({})), "");

    TempFolder dir;
    const Env env = {{SettingsDirVariable, (dir.path() / "elsewhere").string()},
        {"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}};
    EXPECT_EQ(SettingsBaseFolder(lookup(env)), dir.path() / "elsewhere");
    auto store = OpenDefaultSettingsStore(lookup(env));
    SaveSettings(*store, Changed());
    const auto file = dir.path() / "elsewhere" / "Orvalen Software" / "ADSB.conf";
    EXPECT_NE(Read(file).find("\nCOM=number:7\n"), std::string::npos);
    EXPECT_EQ(LoadSettings(*store), Changed());
}

} // namespace
} // namespace telvorn
