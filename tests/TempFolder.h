#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace telvorn::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the test ends.
class TempFolder {
public:
    TempFolder()
    {
        std::random_device seed;
        const auto root = std::filesystem::temp_directory_path();
        for (;;) {
            path_ = root / ("telvorn-test-" + std::to_string(seed()));
            if (std::filesystem::create_directory(path_))
                break;
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace telvorn::test
