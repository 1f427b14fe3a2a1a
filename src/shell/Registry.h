#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/SettingsBackend.h"

namespace telvorn {

// The maker's key: "SOFTWARE\Orvalen Software" under HKEY_LOCAL_MACHINE, or a
// folder of this name in the configuration directory.
inline constexpr std::string_view MakerKeyName = "Orvalen Software";

// Text values are read through a buffer of this many bytes: 1023 characters
// and their terminating zero fit, anything longer reads as the default.
inline constexpr std::size_t TextValueCapacity = 1024;

// The value `valueName` of the application key `appKey`, or `defaultValue`
// when the keys or the value cannot be read, or the value is not a 4-byte
// number. The section is accepted for the callers' sake and ignored.
std::int32_t ReadSetting(SettingsBackend& store, std::string_view appKey, std::string_view section,
    std::string_view valueName, std::int32_t defaultValue);

// The same for a text value: the stored characters, one trailing zero
// dropped; the default when the value is missing, empty (no bytes at all),
// longer than the buffer, or not text.
std::string ReadSetting(SettingsBackend& store, std::string_view appKey, std::string_view section,
    std::string_view valueName, std::string_view defaultValue);

inline std::string ReadSetting(SettingsBackend& store, std::string_view appKey,
    std::string_view section, std::string_view valueName, const char* defaultValue)
{
    return ReadSetting(store, appKey, section, valueName, std::string_view(defaultValue));
}

// Stores a value, creating the keys when they are missing. Text becomes a
// text value with a terminating zero; every other value a 32-bit number,
// rounded to the nearest integer with halves to even, true as -1. Returns
// false when nothing was stored (no key, a refused store, a number that does
// not fit 32 bits); callers may ignore it, as every failure is silent.
bool WriteSetting(SettingsBackend& store, std::string_view appKey, std::string_view section,
    std::string_view valueName, std::string_view value);
bool WriteSetting(SettingsBackend& store, std::string_view appKey, std::string_view section,
    std::string_view valueName, double value);
bool WriteSetting(SettingsBackend& store, std::string_view appKey, std::string_view section,
    std::string_view valueName, bool value);

namespace detail {
bool WriteIntegerSetting(SettingsBackend& store, std::string_view appKey,
    std::string_view valueName, std::int64_t value);
}

// Without this overload a string literal would convert to bool, not to text.
inline bool WriteSetting(SettingsBackend& store, std::string_view appKey, std::string_view section,
    std::string_view valueName, const char* value)
{
    return WriteSetting(store, appKey, section, valueName, std::string_view(value));
}

template <std::integral T>
    requires(!std::same_as<T, bool>)
bool WriteSetting(SettingsBackend& store, std::string_view appKey, std::string_view /*section*/,
    std::string_view valueName, T value)
{
    if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(std::int64_t)) {
        if (value > static_cast<T>(INT64_MAX))
            return false;
    }
    return detail::WriteIntegerSetting(store, appKey, valueName, static_cast<std::int64_t>(value));
}

} // namespace telvorn
