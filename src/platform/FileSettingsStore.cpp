#include "platform/FileSettingsStore.h"

#include "platform/SettingsFileFormat.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <system_error>

namespace telvorn {

namespace {

constexpr std::string_view kStoreSuffix = ".conf";

// A key name becomes one path component and must stay one.
bool IsPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".."
        && name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

} // namespace

std::optional<std::string> ReadSettingsFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string contents;
    char chunk[4096];
    while (contents.size() < SettingsFileReadLimit) {
        const std::size_t want = std::min(sizeof chunk, SettingsFileReadLimit - contents.size());
        in.read(chunk, static_cast<std::streamsize>(want));
        contents.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (in.bad())
            return std::nullopt;
        if (!in)
            break;
    }
    return contents;
}

FileSettingsStore::FileSettingsStore(
    std::filesystem::path baseFolder, BeforeReplaceHook beforeReplace)
    : base_(std::move(baseFolder))
    , beforeReplace_(std::move(beforeReplace))
{
}

std::filesystem::path FileSettingsStore::storeFile(
    std::string_view maker, std::string_view appKey) const
{
    return base_ / std::filesystem::path(maker)
        / std::filesystem::path(std::string(appKey) + std::string(kStoreSuffix));
}

std::optional<std::filesystem::path> FileSettingsStore::childPath(
    SettingsKey parent, std::string_view name, bool& isStoreFile) const
{
    if (base_.empty() || !IsPlainName(name))
        return std::nullopt;
    if (parent == Base) {
        isStoreFile = false;
        return base_ / std::filesystem::path(name);
    }
    const auto it = open_.find(parent.value);
    if (it == open_.end() || it->second.isStoreFile)
        return std::nullopt;
    isStoreFile = true;
    return it->second.path / std::filesystem::path(std::string(name) + std::string(kStoreSuffix));
}

std::optional<SettingsKey> FileSettingsStore::remember(std::filesystem::path path, bool isStoreFile)
{
    const SettingsKey key{nextHandle_++};
    open_.emplace(key.value, OpenKey{std::move(path), isStoreFile});
    return key;
}

const FileSettingsStore::OpenKey* FileSettingsStore::storeFileOf(SettingsKey key) const
{
    const auto it = open_.find(key.value);
    return it != open_.end() && it->second.isStoreFile ? &it->second : nullptr;
}

std::optional<SettingsKey> FileSettingsStore::openKey(
    SettingsKey parent, std::string_view name, SettingsAccess /*access*/)
{
    bool isStoreFile = false;
    auto path = childPath(parent, name, isStoreFile);
    if (!path)
        return std::nullopt;
    std::error_code ec;
    const bool exists = isStoreFile ? std::filesystem::is_regular_file(*path, ec)
                                    : std::filesystem::is_directory(*path, ec);
    if (!exists)
        return std::nullopt;
    return remember(std::move(*path), isStoreFile);
}

std::optional<SettingsKey> FileSettingsStore::createKey(SettingsKey parent, std::string_view name)
{
    bool isStoreFile = false;
    auto path = childPath(parent, name, isStoreFile);
    if (!path)
        return std::nullopt;
    std::error_code ec;
    if (isStoreFile) {
        if (!std::filesystem::is_regular_file(*path, ec)
            && !ReplaceFileAtomically(*path, FormatSettingsFile({}), beforeReplace_))
            return std::nullopt;
    } else {
        std::filesystem::create_directories(*path, ec);
        if (!std::filesystem::is_directory(*path, ec))
            return std::nullopt;
    }
    return remember(std::move(*path), isStoreFile);
}

SettingsQueryResult FileSettingsStore::queryValue(
    SettingsKey key, std::string_view name, std::span<std::byte> buffer)
{
    SettingsQueryResult result;
    const auto* store = storeFileOf(key);
    if (!store)
        return result;
    const auto contents = ReadSettingsFile(store->path);
    if (!contents)
        return result;
    const auto entries = ParseSettingsFile(*contents);
    const auto entry = std::find_if(entries.begin(), entries.end(),
        [&](const auto& e) { return SameSettingsName(e.name, name); });
    if (entry == entries.end())
        return result;

    std::string data;
    if (entry->kind == SettingsValueKind::Number) {
        auto bits = static_cast<std::uint32_t>(entry->number);
        for (int i = 0; i < 4; ++i, bits >>= 8)
            data += static_cast<char>(bits & 0xFFu);
    } else {
        data = entry->text;
        data += '\0';
    }
    result.kind = entry->kind;
    result.size = data.size();
    if (data.size() > buffer.size()) {
        result.status = SettingsQueryStatus::TooLarge;
        return result;
    }
    std::memcpy(buffer.data(), data.data(), data.size());
    result.status = SettingsQueryStatus::Ok;
    return result;
}

bool FileSettingsStore::setValue(
    SettingsKey key, std::string_view name, SettingsValueKind kind, std::span<const std::byte> data)
{
    const auto* store = storeFileOf(key);
    if (!store || name.empty())
        return false;
    SettingsFileEntry entry;
    entry.name = std::string(name);
    entry.kind = kind;
    if (kind == SettingsValueKind::Number) {
        if (data.size() != 4)
            return false;
        std::uint32_t bits = 0;
        for (std::size_t i = 4; i-- > 0;)
            bits = (bits << 8) | std::to_integer<std::uint32_t>(data[i]);
        entry.number = static_cast<std::int32_t>(bits);
    } else if (kind == SettingsValueKind::Text) {
        entry.text.assign(reinterpret_cast<const char*>(data.data()), data.size());
        // The terminator is implied by the format and added back on reading.
        if (!entry.text.empty() && entry.text.back() == '\0')
            entry.text.pop_back();
    } else {
        return false;
    }

    // A damaged file is rewritten with what could be read of it; one that
    // cannot be read at all is left alone rather than replaced by one value.
    const auto contents = ReadSettingsFile(store->path);
    if (!contents)
        return false;
    auto entries = ParseSettingsFile(*contents);
    const auto same = std::find_if(entries.begin(), entries.end(),
        [&](const auto& e) { return SameSettingsName(e.name, name); });
    if (same != entries.end())
        *same = std::move(entry);
    else
        entries.push_back(std::move(entry));
    return ReplaceFileAtomically(store->path, FormatSettingsFile(entries), beforeReplace_);
}

void FileSettingsStore::closeKey(SettingsKey key)
{
    open_.erase(key.value);
}

} // namespace telvorn
