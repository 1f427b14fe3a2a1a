// What only a real registry shows, against Wine's in a prefix of the build's
// own; values are planted and inspected with the raw API, as any writer might.
#include "MiniTest.h"

#include <windows.h>

#include <sddl.h>

#include <array>

#include "ChangedSettings.h"
#include "platform/DefaultSettingsStore.h"
#include "platform/WinRegistry.h"
#include "shell/Registry.h"
#include "shell/Settings.h"

namespace {

using namespace telvorn;
using test::Changed;

constexpr const char* kMakerPath = "SOFTWARE\\Orvalen Software";
constexpr const char* kAppPath = "SOFTWARE\\Orvalen Software\\ADSB";
constexpr const char* kUserBase = "Software\\Telvorn Test";

bool KeyExists(HKEY hive, const char* path)
{
    HKEY key = nullptr;
    const bool exists = RegOpenKeyExA(hive, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

// The owner of a key may always rewrite its access list, however narrow.
bool SetAccess(HKEY hive, const char* path, const char* sddl)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path, 0, WRITE_DAC, &key) != ERROR_SUCCESS)
        return false;
    PSECURITY_DESCRIPTOR sd = nullptr;
    const bool ok = ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr)
        && RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
    LocalFree(sd);
    RegCloseKey(key);
    return ok;
}

void StartClean()
{
    SetAccess(HKEY_LOCAL_MACHINE, kAppPath, "D:(A;;KA;;;WD)");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMakerPath);
    RegDeleteTreeA(HKEY_CURRENT_USER, kUserBase);
    MT_CHECK(!KeyExists(HKEY_LOCAL_MACHINE, kMakerPath), "the maker's key is gone");
}

// Stores a value as any writer might, creating the application key.
void Plant(const char* name, DWORD type, std::string_view data)
{
    MT_CHECK(RegSetKeyValueA(HKEY_LOCAL_MACHINE, kAppPath, name, type, data.data(), DWORD(data.size())) == 0, name);
}

// The type and data of a value as stored; REG_NONE when it is missing.
std::pair<DWORD, std::string> Raw(HKEY hive, const char* path, const char* name)
{
    HKEY key = nullptr;
    DWORD type = REG_NONE, size = 4096;
    std::string data(size, '\0');
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS
        || RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        type = REG_NONE, size = 0;
    RegCloseKey(key);
    data.resize(size);
    return {type, data};
}

std::string Dword(std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// With the override the store is under the current user; without it in the
// machine hive, where reading an empty one gives the defaults and creates
// nothing, and the two kinds are stored as their registry types.
MT_CASE(TheDefaultStoreIsTheMachineHivesOrWithTheOverrideTheCurrentUsers)
{
    StartClean();
    auto user = OpenDefaultSettingsStore([](const char* name) -> const char* {
        return std::string_view(name) == SettingsKeyVariable ? kUserBase : nullptr;
    });
    SaveSettings(*user, Changed());
    const auto lat = Raw(HKEY_CURRENT_USER, "Software\\Telvorn Test\\Orvalen Software\\ADSB", "LAT");
    MT_CHECK(lat.second == std::string("-33.9\0", 6), "written under the user's key");
    MT_CHECK(LoadSettings(*user) == Changed(), "read back from the user's key");

    auto store = OpenDefaultSettingsStore([](const char*) -> const char* { return nullptr; });
    MT_CHECK(LoadSettings(*store) == AppSettings{}, "defaults");
    MT_CHECK(!KeyExists(HKEY_LOCAL_MACHINE, kMakerPath), "reading creates no key");
    SaveSettings(*store, Changed());
    const struct { const char* name; DWORD type; std::string data; } rows[] = {
        {"MainTop", REG_DWORD, Dword(std::uint32_t(-300))}, {"LAT", REG_SZ, std::string("-33.9\0", 6)}};
    for (const auto& row : rows) {
        const auto [type, data] = Raw(HKEY_LOCAL_MACHINE, kAppPath, row.name);
        MT_CHECK(type == row.type, row.name);
        MT_CHECK(data == row.data, row.name);
    }
    MT_CHECK(LoadSettings(*store) == Changed(), "saved settings load back");
}

MT_CASE(PlantedValuesReadWithReadAccessByTheTerminatorKindAndBufferRules)
{
    // LAT is read as text, COM as a number.
    const struct { const char* what; const char* name; DWORD type; std::string data; std::string expected; } rows[] = {
        {"no bytes at all is the default", "LAT", REG_SZ, "", "default"},
        {"without terminator reads whole", "LAT", REG_SZ, "48.5", "48.5"},
        {"a number is not text", "LAT", REG_DWORD, Dword(0x34333231u), "default"},
        {"binary data is not text", "LAT", REG_BINARY, std::string("48.5\0", 5), "default"},
        {"two-byte number", "COM", REG_DWORD, std::string("\x05\x00", 2), "-7"},
        {"four binary bytes", "COM", REG_BINARY, Dword(5), "-7"},
    };
    for (const auto& row : rows) {
        StartClean();
        Plant(row.name, row.type, row.data);
        // Everyone may read the key, nobody may change it: an ordinary user's
        // view of settings that an administrator stored.
        MT_CHECK(SetAccess(HKEY_LOCAL_MACHINE, kAppPath, "D:P(A;;KR;;;WD)"), row.what);
        WinRegistry store;
        const auto read = [&] {
            return row.name == std::string_view("LAT") ? ReadSetting(store, AppKey, "", "LAT", "default")
                                                       : std::to_string(ReadSetting(store, AppKey, "", "COM", -7));
        };
        MT_CHECK(read() == row.expected, row.what);
        MT_CHECK(!WriteSetting(store, AppKey, "", row.name, 9), row.what);
        SaveSettings(store, Changed());
        MT_CHECK(read() == row.expected, std::string("after a refused save: ") + row.what);
    }

    // A query never writes past its buffer.
    StartClean();
    Plant("COM", REG_QWORD, Dword(1) + Dword(2));
    WinRegistry store;
    const auto maker = store.openKey(SettingsBackend::Base, MakerKeyName, SettingsAccess::Read);
    const auto app = store.openKey(maker.value(), AppKey, SettingsAccess::Read).value();
    std::array<std::byte, 8> buffer;
    buffer.fill(std::byte{0xAB});
    const auto result = store.queryValue(app, "COM", std::span(buffer).first(4));
    MT_CHECK(result.status == SettingsQueryStatus::TooLarge, "8 bytes do not fit 4");
    MT_CHECK(result.size == 8, "size needed");
    MT_CHECK(buffer[4] == std::byte{0xAB} && buffer[7] == std::byte{0xAB}, "the rest untouched");
    store.closeKey(app);
    store.closeKey(*maker);
}

} // namespace

int main()
{
    const int status = minitest::RunAll();
    StartClean();
    return status;
}
