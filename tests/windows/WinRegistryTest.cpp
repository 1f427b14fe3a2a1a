// The registry backend against a real registry: Wine's, in a prefix of the
// build's own. Values are planted and inspected with the raw API, so that
// what foreign writers leave behind is tested too.
#include "MiniTest.h"

#include <windows.h>

#include <sddl.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/DefaultSettingsStore.h"
#include "platform/WinRegistry.h"
#include "shell/Registry.h"
#include "shell/Settings.h"

namespace {

using namespace telvorn;

constexpr const char* kMakerPath = "SOFTWARE\\Orvalen Software";
constexpr const char* kAppPath = "SOFTWARE\\Orvalen Software\\ADSB";
constexpr const char* kUserBase = "Software\\Telvorn Test";

struct RawValue {
    DWORD type = REG_NONE;
    std::string data;
};

bool KeyExists(HKEY hive, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Whatever a failed run left, including a key whose access was narrowed:
// its owner may always rewrite its permissions.
void GrantAll(HKEY hive, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path, 0, WRITE_DAC, &key) != ERROR_SUCCESS)
        return;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA(
            "D:(A;;KA;;;WD)", SDDL_REVISION_1, &sd, nullptr)) {
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
        LocalFree(sd);
    }
    RegCloseKey(key);
}

void Restrict(HKEY hive, const char* path, const char* sddl)
{
    HKEY key = nullptr;
    MT_CHECK(RegOpenKeyExA(hive, path, 0, WRITE_DAC, &key) == ERROR_SUCCESS, path);
    PSECURITY_DESCRIPTOR sd = nullptr;
    MT_CHECK(
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr),
        sddl);
    MT_CHECK(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS, sddl);
    LocalFree(sd);
    RegCloseKey(key);
}

void StartClean()
{
    GrantAll(HKEY_LOCAL_MACHINE, kAppPath);
    GrantAll(HKEY_LOCAL_MACHINE, kMakerPath);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMakerPath);
    RegDeleteTreeA(HKEY_CURRENT_USER, kUserBase);
    MT_CHECK(!KeyExists(HKEY_LOCAL_MACHINE, kMakerPath), "the maker's key is gone before the case");
}

void Plant(const char* name, DWORD type, std::string_view data)
{
    HKEY key = nullptr;
    MT_CHECK(RegCreateKeyA(HKEY_LOCAL_MACHINE, kAppPath, &key) == ERROR_SUCCESS, name);
    MT_CHECK(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size()))
            == ERROR_SUCCESS,
        name);
    RegCloseKey(key);
}

std::optional<RawValue> Raw(HKEY hive, const char* path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    RawValue value;
    std::array<char, 4096> buffer{};
    DWORD size = buffer.size();
    const LONG status = RegQueryValueExA(
        key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    value.data.assign(buffer.data(), size);
    return value;
}

std::string Dword(std::uint32_t v)
{
    std::string bytes(4, '\0');
    std::memcpy(bytes.data(), &v, 4);
    return bytes;
}

AppSettings Changed()
{
    AppSettings s;
    s.mainLeft = 1234.5f;
    s.mainTop = 1235.5f;
    s.sortColumn = 11;
    s.rawFlag = true;
    s.dstFlag = true;
    s.latitude = "-12.25";
    s.longitude = "";
    s.port = 4;
    return s;
}

MT_CASE(EmptyRegistryGivesTheDefaultsAndReadingCreatesNoKey)
{
    StartClean();
    WinRegistry store;
    MT_CHECK(LoadSettings(store) == AppSettings{}, "defaults");
    MT_CHECK(!KeyExists(HKEY_LOCAL_MACHINE, kMakerPath), "no key after reading");
}

MT_CASE(SavingCreatesBothKeysAndStoresTheTwoKinds)
{
    StartClean();
    WinRegistry store;
    SaveSettings(store, Changed());
    struct Row {
        const char* name;
        DWORD type;
        std::string data;
    };
    const std::vector<Row> rows = {
        {"MainLeft", REG_DWORD, Dword(1234)},
        {"MainTop", REG_DWORD, Dword(1236)},
        {"COM", REG_DWORD, Dword(4)},
        {"HSp", REG_DWORD, Dword(0)},
        {"LAT", REG_SZ, std::string("-12.25\0", 7)},
        {"LON", REG_SZ, std::string("\0", 1)},
        {"DST", REG_DWORD, Dword(0xFFFFFFFFu)},
        {"SRT", REG_DWORD, Dword(11)},
        {"RAW", REG_DWORD, Dword(0xFFFFFFFFu)},
        {"LOG", REG_DWORD, Dword(0)},
    };
    for (const auto& row : rows) {
        const auto value = Raw(HKEY_LOCAL_MACHINE, kAppPath, row.name);
        MT_CHECK(value.has_value(), row.name);
        if (!value)
            continue;
        MT_CHECK_EQ(value->type, row.type, row.name);
        MT_CHECK_EQ(value->data, row.data, row.name);
    }
    AppSettings expected = Changed();
    expected.mainLeft = 1234.0f;
    expected.mainTop = 1236.0f;
    MT_CHECK(LoadSettings(store) == expected, "saved settings load back");
}

MT_CASE(TextValuesFollowTheBufferAndTerminatorRules)
{
    struct Row {
        const char* what;
        DWORD type;
        std::string data;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"terminator only is empty text", REG_SZ, std::string("\0", 1), ""},
        {"no bytes at all is the default", REG_SZ, "", "default"},
        {"without terminator reads whole", REG_SZ, "48.5", "48.5"},
        {"1023 characters and terminator", REG_SZ, std::string(1023, 'a') + '\0',
            std::string(1023, 'a')},
        {"1024 characters and terminator", REG_SZ, std::string(1024, 'a') + '\0', "default"},
        {"one zero dropped, an inner one kept", REG_SZ, std::string("a\0b\0", 4),
            std::string("a\0b", 3)},
        {"a number is not text", REG_DWORD, Dword(0x34333231u), "default"},
        {"binary data is not text", REG_BINARY, std::string("48.5\0", 5), "default"},
    };
    for (const auto& row : rows) {
        StartClean();
        Plant("LAT", row.type, row.data);
        WinRegistry store;
        MT_CHECK_EQ(ReadSetting(store, AppKey, "", "LAT", "default"), row.expected, row.what);
    }
}

MT_CASE(NumberValuesMustBeFourByteNumbers)
{
    struct Row {
        const char* what;
        DWORD type;
        std::string data;
        std::int32_t expected;
    };
    const std::vector<Row> rows = {
        {"FFFFFFFF is -1", REG_DWORD, Dword(0xFFFFFFFFu), -1},
        {"small number", REG_DWORD, Dword(5), 5},
        {"largest", REG_DWORD, Dword(0x7FFFFFFFu), 0x7FFFFFFF},
        {"two-byte number", REG_DWORD, std::string("\x05\x00", 2), -7},
        {"text of digits", REG_SZ, std::string("12\0", 3), -7},
        {"four bytes of text", REG_SZ, std::string("123\0", 4), -7},
        {"four binary bytes", REG_BINARY, Dword(5), -7},
        {"64-bit number", REG_QWORD, Dword(5) + Dword(0), -7},
    };
    for (const auto& row : rows) {
        StartClean();
        Plant("COM", row.type, row.data);
        WinRegistry store;
        MT_CHECK_EQ(ReadSetting(store, AppKey, "", "COM", -7), row.expected, row.what);
    }
    StartClean();
    Plant("RAW", REG_DWORD, Dword(2));
    Plant("LOG", REG_DWORD, Dword(0x80000000u));
    WinRegistry store;
    const AppSettings s = LoadSettings(store);
    MT_CHECK(s.rawFlag && s.logFlag && !s.dstFlag, "any non-zero number is true");
}

MT_CASE(AQueryNeverWritesPastItsBuffer)
{
    StartClean();
    Plant("COM", REG_QWORD, Dword(1) + Dword(2));
    WinRegistry store;
    const auto maker = store.openKey(SettingsBackend::Base, MakerKeyName, SettingsAccess::Read);
    MT_CHECK(maker.has_value(), "maker key");
    if (!maker)
        return;
    const auto app = store.openKey(*maker, AppKey, SettingsAccess::Read);
    MT_CHECK(app.has_value(), "application key");
    if (app) {
        std::array<std::byte, 8> buffer{};
        buffer.fill(std::byte{0xAB});
        const auto result = store.queryValue(*app, "COM", std::span(buffer).first(4));
        MT_CHECK(result.status == SettingsQueryStatus::TooLarge, "8 bytes do not fit 4");
        MT_CHECK_EQ(result.size, std::size_t{8}, "size needed");
        for (std::size_t i = 4; i < buffer.size(); ++i)
            MT_CHECK(buffer[i] == std::byte{0xAB}, "byte " + std::to_string(i) + " untouched");
        store.closeKey(*app);
    }
    store.closeKey(*maker);
}

MT_CASE(ReadingNeedsOnlyReadAccessAndRefusedWritesAreSilent)
{
    StartClean();
    Plant("COM", REG_DWORD, Dword(6));
    Plant("LAT", REG_SZ, std::string("1.5\0", 4));
    // Everyone may read the application key, nobody may change it: an
    // ordinary user's view of settings an administrator stored.
    Restrict(HKEY_LOCAL_MACHINE, kAppPath, "D:P(A;;KR;;;WD)");
    WinRegistry store;
    AppSettings expected;
    expected.port = 6;
    expected.latitude = "1.5";
    MT_CHECK(LoadSettings(store) == expected, "stored values read back");
    MT_CHECK(!WriteSetting(store, AppKey, "", "COM", 9), "write refused");
    SaveSettings(store, Changed());
    MT_CHECK(LoadSettings(store) == expected, "a refused save changes nothing");
    GrantAll(HKEY_LOCAL_MACHINE, kAppPath);
}

MT_CASE(TheOverrideMovesTheStoreUnderTheCurrentUser)
{
    StartClean();
    auto store = OpenDefaultSettingsStore([](const char* name) -> const char* {
        return std::string_view(name) == SettingsKeyVariable ? kUserBase : nullptr;
    });
    SaveSettings(*store, Changed());
    const auto lat
        = Raw(HKEY_CURRENT_USER, "Software\\Telvorn Test\\Orvalen Software\\ADSB", "LAT");
    MT_CHECK(lat.has_value(), "written under the user's key");
    if (lat)
        MT_CHECK_EQ(lat->data, std::string("-12.25\0", 7), "LAT");
    MT_CHECK(!KeyExists(HKEY_LOCAL_MACHINE, kMakerPath), "machine hive untouched");
    MT_CHECK_EQ(LoadSettings(*store).port, 4, "read back from the user's key");
    RegDeleteTreeA(HKEY_CURRENT_USER, kUserBase);
}

MT_CASE(TheDefaultStoreIsTheMachineHive)
{
    StartClean();
    auto store = OpenDefaultSettingsStore([](const char*) -> const char* { return nullptr; });
    MT_CHECK(WriteSetting(*store, AppKey, "", "COM", 2), "stored");
    const auto com = Raw(HKEY_LOCAL_MACHINE, kAppPath, "COM");
    MT_CHECK(com.has_value() && com->data == Dword(2), "in HKEY_LOCAL_MACHINE");
}

} // namespace
