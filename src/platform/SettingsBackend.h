#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace telvorn {

// An open key of a settings store. The value is the backend's own handle;
// only the backend that issued it may interpret it.
struct SettingsKey {
    std::uintptr_t value = 0;
    friend bool operator==(SettingsKey, SettingsKey) = default;
};

// The two kinds a setting is stored as; Other is anything a foreign writer
// may have left under one of our names (binary data, 64-bit numbers, ...).
enum class SettingsValueKind { Text, Number, Other };

// Reading needs no write rights: an ordinary user can read settings that an
// administrator stored in the machine-wide hive.
enum class SettingsAccess { Read, ReadWrite };

enum class SettingsQueryStatus {
    Ok,
    // The data is larger than the buffer; `size` tells how large it is.
    TooLarge,
    Failed,
};

struct SettingsQueryResult {
    SettingsQueryStatus status = SettingsQueryStatus::Failed;
    SettingsValueKind kind = SettingsValueKind::Other;
    // Bytes placed in the buffer, or needed, when the status says so.
    std::size_t size = 0;
};

// The registry-shaped store beneath the settings logic: keys that are opened,
// created and closed, holding named values of two kinds. The Windows registry
// is one backend and a file store the other; the read and write algorithms
// above them are the same for both.
class SettingsBackend {
public:
    // The key that holds the maker's key: HKEY_LOCAL_MACHINE\SOFTWARE, or the
    // user's configuration folder. It is never closed.
    static constexpr SettingsKey Base{0};

    virtual ~SettingsBackend() = default;

    virtual std::optional<SettingsKey> openKey(
        SettingsKey parent, std::string_view name, SettingsAccess access)
        = 0;
    // Opens the key when it exists already, as RegCreateKey does.
    virtual std::optional<SettingsKey> createKey(SettingsKey parent, std::string_view name) = 0;
    // Copies at most buffer.size() bytes of the value's data; never writes
    // beyond the buffer.
    virtual SettingsQueryResult queryValue(
        SettingsKey key, std::string_view name, std::span<std::byte> buffer)
        = 0;
    virtual bool setValue(SettingsKey key, std::string_view name, SettingsValueKind kind,
        std::span<const std::byte> data)
        = 0;
    virtual void closeKey(SettingsKey key) = 0;
};

} // namespace telvorn
