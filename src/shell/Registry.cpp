#include "shell/Registry.h"

#include <array>
#include <cstring>
#include <limits>

#include "text/NumberText.h"

namespace telvorn {

namespace {

// Closes the key on every path out of a read or a write.
class OpenedKey {
public:
    OpenedKey(SettingsBackend& store, SettingsKey key)
        : store_(store)
        , key_(key)
    {
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    ~OpenedKey() { store_.closeKey(key_); }
    SettingsKey key() const { return key_; }

private:
    SettingsBackend& store_;
    SettingsKey key_;
};

std::optional<SettingsKey> OpenOrCreate(
    SettingsBackend& store, SettingsKey parent, std::string_view name)
{
    if (auto key = store.openKey(parent, name, SettingsAccess::ReadWrite))
        return key;
    return store.createKey(parent, name);
}

bool StoreValue(SettingsBackend& store, std::string_view appKey, std::string_view valueName,
    SettingsValueKind kind, std::span<const std::byte> data)
{
    const auto maker = OpenOrCreate(store, SettingsBackend::Base, MakerKeyName);
    if (!maker)
        return false;
    const OpenedKey makerKey(store, *maker);
    const auto app = OpenOrCreate(store, *maker, appKey);
    if (!app)
        return false;
    const OpenedKey appKeyHandle(store, *app);
    return store.setValue(*app, valueName, kind, data);
}

} // namespace

std::int32_t ReadSetting(SettingsBackend& store, std::string_view appKey,
    std::string_view /*section*/, std::string_view valueName, std::int32_t defaultValue)
{
    const auto maker = store.openKey(SettingsBackend::Base, MakerKeyName, SettingsAccess::Read);
    if (!maker)
        return defaultValue;
    const OpenedKey makerKey(store, *maker);
    const auto app = store.openKey(*maker, appKey, SettingsAccess::Read);
    if (!app)
        return defaultValue;
    const OpenedKey appKeyHandle(store, *app);

    std::array<std::byte, sizeof(std::int32_t)> data{};
    const auto result = store.queryValue(*app, valueName, data);
    // A value of another kind or size is not ours to reinterpret.
    if (result.status != SettingsQueryStatus::Ok || result.kind != SettingsValueKind::Number
        || result.size != data.size())
        return defaultValue;
    std::uint32_t bits = 0;
    for (std::size_t i = data.size(); i-- > 0;)
        bits = (bits << 8) | std::to_integer<std::uint32_t>(data[i]);
    return static_cast<std::int32_t>(bits);
}

std::string ReadSetting(SettingsBackend& store, std::string_view appKey,
    std::string_view /*section*/, std::string_view valueName, std::string_view defaultValue)
{
    const auto maker = store.openKey(SettingsBackend::Base, MakerKeyName, SettingsAccess::Read);
    if (!maker)
        return std::string(defaultValue);
    const OpenedKey makerKey(store, *maker);
    const auto app = store.openKey(*maker, appKey, SettingsAccess::Read);
    if (!app)
        return std::string(defaultValue);
    const OpenedKey appKeyHandle(store, *app);

    std::array<std::byte, TextValueCapacity> data{};
    const auto result = store.queryValue(*app, valueName, data);
    if (result.status != SettingsQueryStatus::Ok || result.kind != SettingsValueKind::Text
        || result.size == 0 || result.size > data.size())
        return std::string(defaultValue);
    std::string text(result.size, '\0');
    std::memcpy(text.data(), data.data(), result.size);
    // Writers store the terminating zero with the text; some do not.
    if (text.back() == '\0')
        text.pop_back();
    return text;
}

bool WriteSetting(SettingsBackend& store, std::string_view appKey, std::string_view /*section*/,
    std::string_view valueName, std::string_view value)
{
    std::string data(value);
    data.push_back('\0');
    return StoreValue(store, appKey, valueName, SettingsValueKind::Text,
        std::as_bytes(std::span(data.data(), data.size())));
}

bool WriteSetting(SettingsBackend& store, std::string_view appKey, std::string_view /*section*/,
    std::string_view valueName, double value)
{
    const double rounded = RoundHalfEven(value);
    // NaN fails both comparisons, so it is refused here too.
    if (!(rounded >= double(std::numeric_limits<std::int32_t>::min())
            && rounded <= double(std::numeric_limits<std::int32_t>::max())))
        return false;
    return detail::WriteIntegerSetting(
        store, appKey, valueName, static_cast<std::int64_t>(rounded));
}

bool WriteSetting(SettingsBackend& store, std::string_view appKey, std::string_view /*section*/,
    std::string_view valueName, bool value)
{
    return detail::WriteIntegerSetting(store, appKey, valueName, value ? -1 : 0);
}

namespace detail {

bool WriteIntegerSetting(
    SettingsBackend& store, std::string_view appKey, std::string_view valueName, std::int64_t value)
{
    if (value < std::numeric_limits<std::int32_t>::min()
        || value > std::numeric_limits<std::int32_t>::max())
        return false;
    // Little-endian, as REG_DWORD is, whatever the host's byte order.
    auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    std::array<std::byte, sizeof(std::uint32_t)> data{};
    for (auto& b : data) {
        b = static_cast<std::byte>(bits & 0xFFu);
        bits >>= 8;
    }
    return StoreValue(store, appKey, valueName, SettingsValueKind::Number, data);
}

} // namespace detail

} // namespace telvorn
