#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/SettingsBackend.h"

namespace telvorn {

// Names the environment variables that move the store, so that tests, the
// demo and a second instance never touch the user's own settings.
//   TELVORN_SETTINGS_DIR  (file store) the folder that takes the place of
//                         the configuration directory.
//   TELVORN_SETTINGS_KEY  (Windows) a key path under HKEY_CURRENT_USER that
//                         takes the place of HKEY_LOCAL_MACHINE\SOFTWARE.
inline constexpr const char* SettingsDirVariable = "TELVORN_SETTINGS_DIR";
inline constexpr const char* SettingsKeyVariable = "TELVORN_SETTINGS_KEY";

using EnvironmentLookup = std::function<const char*(const char* name)>;

// The folder that holds the maker's folder of the file store: the override,
// else $XDG_CONFIG_HOME when it is an absolute path, else ~/.config. Empty
// when none of them is set.
std::filesystem::path SettingsBaseFolder(const EnvironmentLookup& getenv);

// The store of this system: the registry on Windows, the file store elsewhere.
std::unique_ptr<SettingsBackend> OpenDefaultSettingsStore();
std::unique_ptr<SettingsBackend> OpenDefaultSettingsStore(const EnvironmentLookup& getenv);

} // namespace telvorn
