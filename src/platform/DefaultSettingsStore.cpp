#include "platform/DefaultSettingsStore.h"

#include <cstdlib>

#ifdef _WIN32
#include "platform/WinRegistry.h"
#else
#include "platform/FileSettingsStore.h"
#endif

namespace telvorn {

namespace {

bool IsSet(const char* value)
{
    return value != nullptr && *value != '\0';
}

} // namespace

std::filesystem::path SettingsBaseFolder(const EnvironmentLookup& getenv)
{
    if (const char* dir = getenv(SettingsDirVariable); IsSet(dir))
        return dir;
    // The XDG rules ask that a relative path be ignored.
    if (const char* xdg = getenv("XDG_CONFIG_HOME");
        IsSet(xdg) && std::filesystem::path(xdg).is_absolute())
        return xdg;
    if (const char* home = getenv("HOME"); IsSet(home))
        return std::filesystem::path(home) / ".config";
    return {};
}

std::unique_ptr<SettingsBackend> OpenDefaultSettingsStore(const EnvironmentLookup& getenv)
{
#ifdef _WIN32
    if (const char* key = getenv(SettingsKeyVariable); IsSet(key))
        return std::make_unique<WinRegistry>(WinRegistry::Hive::CurrentUser, key);
    return std::make_unique<WinRegistry>();
#else
    return std::make_unique<FileSettingsStore>(SettingsBaseFolder(getenv));
#endif
}

std::unique_ptr<SettingsBackend> OpenDefaultSettingsStore()
{
    return OpenDefaultSettingsStore([](const char* name) { return std::getenv(name); });
}

} // namespace telvorn
