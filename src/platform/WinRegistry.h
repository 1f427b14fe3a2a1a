#pragma once

#include <string>

#include "platform/SettingsBackend.h"

namespace telvorn {

// The settings store in the Windows registry, through the ANSI calls of
// advapi32. By default the maker's key lies under HKEY_LOCAL_MACHINE\SOFTWARE.
class WinRegistry final : public SettingsBackend {
public:
    enum class Hive { LocalMachine, CurrentUser };

    // `basePath`: the key under the hive that holds the maker's key.
    explicit WinRegistry(Hive hive = Hive::LocalMachine, std::string basePath = "SOFTWARE");

    std::optional<SettingsKey> openKey(
        SettingsKey parent, std::string_view name, SettingsAccess access) override;
    std::optional<SettingsKey> createKey(SettingsKey parent, std::string_view name) override;
    SettingsQueryResult queryValue(
        SettingsKey key, std::string_view name, std::span<std::byte> buffer) override;
    bool setValue(SettingsKey key, std::string_view name, SettingsValueKind kind,
        std::span<const std::byte> data) override;
    void closeKey(SettingsKey key) override;

private:
    // The parent handle and the sub-key path to pass to the API.
    std::uintptr_t parentHandle(SettingsKey parent) const;
    std::string subKeyPath(SettingsKey parent, std::string_view name) const;

    Hive hive_;
    std::string basePath_;
};

} // namespace telvorn
