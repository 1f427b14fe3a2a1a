// Any bytes as the settings file. The parser keeps only lines that parse,
// each name once; what it keeps survives a write and a second read
// unchanged; and the store built on it gives every setting either the value
// in the file or its default, never something in between.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "platform/FileSettingsStore.h"
#include "platform/SettingsFileFormat.h"
#include "shell/Registry.h"
#include "shell/Settings.h"

using namespace telvorn;

namespace {

std::filesystem::path g_base;

// A text the store reads back: the file's text when it is one and fits the
// 1024-byte read buffer with its terminator, the default otherwise.
std::string ExpectedText(const std::vector<SettingsFileEntry>& entries, std::string_view name,
                         std::string_view fallback)
{
    for (const SettingsFileEntry& e : entries)
        if (SameSettingsName(e.name, name))
            return e.kind == SettingsValueKind::Text && e.text.size() < TextValueCapacity ? e.text
                                                                                           : std::string(fallback);
    return std::string(fallback);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::string folder = (std::filesystem::temp_directory_path() / "telvorn-fuzz-settings-XXXXXX").string();
    if (!mkdtemp(folder.data()))
        std::abort();
    g_base = folder;
    std::filesystem::create_directories(g_base / MakerKeyName);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    const std::vector<SettingsFileEntry> entries = ParseSettingsFile(contents);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        FUZZ_CHECK(!entries[i].name.empty(), "an entry without a name");
        for (std::size_t j = 0; j < i; ++j)
            FUZZ_CHECK(!SameSettingsName(entries[i].name, entries[j].name), "name '" + entries[i].name + "' twice");
    }
    FUZZ_CHECK(ParseSettingsFile(FormatSettingsFile(entries)) == entries, "entries change through a write");
    FUZZ_CHECK(UnescapeSettingsText(EscapeSettingsText(contents)) == std::string(contents),
               "text changes through escaping");

    FileSettingsStore store(g_base);
    const auto file = store.storeFile(MakerKeyName, AppKey);
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(contents.data(), std::streamsize(size));
    const AppSettings loaded = LoadSettings(store);
    FUZZ_CHECK(loaded.sortColumn >= 0 && loaded.sortColumn <= 18, "sort column outside the table");
    FUZZ_CHECK(loaded.latitude == ExpectedText(entries, "LAT", DefaultLatitude), "latitude not the file's or default");
    FUZZ_CHECK(loaded.longitude == ExpectedText(entries, "LON", DefaultLongitude),
               "longitude not the file's or default");
    return 0;
}
