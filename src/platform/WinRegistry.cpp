#include "platform/WinRegistry.h"

#include <limits>

#include <windows.h>

namespace telvorn {

namespace {

// Read and write for every key that is written: the six key-specific rights
// and read-control. Reading asks for KEY_READ alone, so that a user without
// write access to the machine hive still gets the stored settings.
constexpr REGSAM kReadWriteAccess = 0x2003F;

HKEY ToHkey(std::uintptr_t handle)
{
    return reinterpret_cast<HKEY>(handle);
}

std::uintptr_t FromHkey(HKEY key)
{
    return reinterpret_cast<std::uintptr_t>(key);
}

} // namespace

WinRegistry::WinRegistry(Hive hive, std::string basePath)
    : hive_(hive)
    , basePath_(std::move(basePath))
{
}

std::uintptr_t WinRegistry::parentHandle(SettingsKey parent) const
{
    if (parent != Base)
        return parent.value;
    return FromHkey(hive_ == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER);
}

std::string WinRegistry::subKeyPath(SettingsKey parent, std::string_view name) const
{
    if (parent != Base || basePath_.empty())
        return std::string(name);
    return basePath_ + "\\" + std::string(name);
}

std::optional<SettingsKey> WinRegistry::openKey(
    SettingsKey parent, std::string_view name, SettingsAccess access)
{
    HKEY key = nullptr;
    const REGSAM mask = access == SettingsAccess::Read ? KEY_READ : kReadWriteAccess;
    const std::string path = subKeyPath(parent, name);
    if (RegOpenKeyExA(ToHkey(parentHandle(parent)), path.c_str(), 0, mask, &key) != ERROR_SUCCESS)
        return std::nullopt;
    return SettingsKey{FromHkey(key)};
}

std::optional<SettingsKey> WinRegistry::createKey(SettingsKey parent, std::string_view name)
{
    HKEY key = nullptr;
    const std::string path = subKeyPath(parent, name);
    if (RegCreateKeyA(ToHkey(parentHandle(parent)), path.c_str(), &key) != ERROR_SUCCESS)
        return std::nullopt;
    return SettingsKey{FromHkey(key)};
}

SettingsQueryResult WinRegistry::queryValue(
    SettingsKey key, std::string_view name, std::span<std::byte> buffer)
{
    SettingsQueryResult result;
    if (buffer.size() > std::numeric_limits<DWORD>::max())
        return result;
    const std::string valueName(name);
    DWORD type = REG_NONE;
    auto size = static_cast<DWORD>(buffer.size());
    const LONG status = RegQueryValueExA(ToHkey(key.value), valueName.c_str(), nullptr, &type,
        reinterpret_cast<BYTE*>(buffer.data()), &size);
    result.kind = type == REG_SZ ? SettingsValueKind::Text
        : type == REG_DWORD      ? SettingsValueKind::Number
                                 : SettingsValueKind::Other;
    result.size = size;
    if (status == ERROR_SUCCESS)
        result.status = SettingsQueryStatus::Ok;
    else if (status == ERROR_MORE_DATA)
        result.status = SettingsQueryStatus::TooLarge;
    return result;
}

bool WinRegistry::setValue(
    SettingsKey key, std::string_view name, SettingsValueKind kind, std::span<const std::byte> data)
{
    if (kind == SettingsValueKind::Other || data.size() > std::numeric_limits<DWORD>::max())
        return false;
    const std::string valueName(name);
    const DWORD type = kind == SettingsValueKind::Text ? REG_SZ : REG_DWORD;
    return RegSetValueExA(ToHkey(key.value), valueName.c_str(), 0, type,
               reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()))
        == ERROR_SUCCESS;
}

void WinRegistry::closeKey(SettingsKey key)
{
    if (key != Base)
        RegCloseKey(ToHkey(key.value));
}

} // namespace telvorn
