#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/SettingsBackend.h"

namespace telvorn {

// The settings store of a system without a registry. The maker's key is a
// folder in `baseFolder` and the application key a file "<name>.conf" in that
// folder, in the format of SettingsFileFormat. Every write replaces the file
// atomically, so a crash never leaves half a store behind.
class FileSettingsStore final : public SettingsBackend {
public:
    // An empty base folder makes a store that cannot be opened: every read
    // gives its default and every write fails.
    explicit FileSettingsStore(
        std::filesystem::path baseFolder, BeforeReplaceHook beforeReplace = {});

    std::optional<SettingsKey> openKey(
        SettingsKey parent, std::string_view name, SettingsAccess access) override;
    std::optional<SettingsKey> createKey(SettingsKey parent, std::string_view name) override;
    SettingsQueryResult queryValue(
        SettingsKey key, std::string_view name, std::span<std::byte> buffer) override;
    bool setValue(SettingsKey key, std::string_view name, SettingsValueKind kind,
        std::span<const std::byte> data) override;
    void closeKey(SettingsKey key) override;

    const std::filesystem::path& baseFolder() const { return base_; }
    // Where the application key `appKey` of the maker `maker` is kept.
    std::filesystem::path storeFile(std::string_view maker, std::string_view appKey) const;

private:
    struct OpenKey {
        std::filesystem::path path;
        bool isStoreFile = false;
    };

    std::optional<std::filesystem::path> childPath(
        SettingsKey parent, std::string_view name, bool& isStoreFile) const;
    std::optional<SettingsKey> remember(std::filesystem::path path, bool isStoreFile);
    const OpenKey* storeFileOf(SettingsKey key) const;

    std::filesystem::path base_;
    BeforeReplaceHook beforeReplace_;
    std::map<std::uintptr_t, OpenKey> open_;
    std::uintptr_t nextHandle_ = 1;
};

// Reads at most SettingsFileReadLimit bytes; empty when the file cannot be read.
std::optional<std::string> ReadSettingsFile(const std::filesystem::path& file);

} // namespace telvorn
