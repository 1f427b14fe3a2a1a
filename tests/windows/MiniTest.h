#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// A small test runner for the Windows test program, which has no GoogleTest:
// RunAll runs the cases in order, prints each failure with its file and line,
// and fails when a case failed or none ran (an exception ends the program).
namespace minitest {

inline std::vector<std::pair<const char*, void (*)()>> cases;
inline int failures = 0;

inline void Fail(const char* file, int line, const std::string& message)
{
    ++failures;
    std::printf("  %s:%d: %s\n", file, line, message.c_str());
}

inline int RunAll()
{
    int failed = 0;
    for (const auto& [name, function] : cases) {
        const int before = failures;
        function();
        failed += failures == before ? 0 : 1;
        std::printf("[%s] %s\n", failures == before ? " OK " : "FAIL", name);
    }
    std::printf("%d passed, %d failed\n", static_cast<int>(cases.size()) - failed, failed);
    return failed == 0 && !cases.empty() ? 0 : 1;
}

} // namespace minitest

#define MT_CASE(name)                                                                                                  \
    static void name();                                                                                                \
    static const bool name##Registered = (minitest::cases.emplace_back(#name, &name), true);                           \
    static void name()

#define MT_CHECK(condition, context)                                                                                   \
    ((condition) ? void() : minitest::Fail(__FILE__, __LINE__, std::string(#condition " is false [") + (context) + "]"))
