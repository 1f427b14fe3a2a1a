#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include <sanitizer/common_interface_defs.h>

namespace telvorn::fuzz {

// A broken property is a finding like a crash: say which one, then abort so
// libFuzzer keeps the input that broke it. The summary goes to the
// sanitizers' report descriptor too, which survives -close_fd_mask.
[[noreturn]] inline void PropertyBroken(const char* file, int line, const std::string& what)
{
    const std::string text = "property broken at " + std::string(file) + ":" + std::to_string(line) + ": " + what;
    std::fprintf(stderr, "%s\n", text.c_str());
    __sanitizer_report_error_summary(text.c_str());
    std::abort();
}

} // namespace telvorn::fuzz

#define FUZZ_CHECK(condition, what)                                                                          \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            ::telvorn::fuzz::PropertyBroken(__FILE__, __LINE__, (what));                                     \
    } while (0)
