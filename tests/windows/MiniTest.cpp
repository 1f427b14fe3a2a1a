#include "MiniTest.h"

#include <cstdio>
#include <exception>
#include <vector>

namespace minitest {

namespace {

struct Case {
    const char* name;
    CaseFunction function;
};

std::vector<Case>& Cases()
{
    static std::vector<Case> cases;
    return cases;
}

int failuresInCase = 0;

} // namespace

Registrar::Registrar(const char* name, CaseFunction function)
{
    Cases().push_back({name, function});
}

void ReportFailure(const char* file, int line, const std::string& message)
{
    ++failuresInCase;
    std::printf("  %s:%d: %s\n", file, line, message.c_str());
}

std::string Show(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char c : text.size() > 80 ? text.substr(0, 80) : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    out += text.size() > 80 ? "\"... (" + std::to_string(text.size()) + " bytes)" : "\"";
    return out;
}

} // namespace minitest

int main()
{
    using namespace minitest;
    int passed = 0;
    int failed = 0;
    for (const auto& c : Cases()) {
        failuresInCase = 0;
        try {
            c.function();
        } catch (const std::exception& e) {
            ReportFailure(__FILE__, __LINE__, std::string("exception: ") + e.what());
        }
        std::printf("[%s] %s\n", failuresInCase == 0 ? " OK " : "FAIL", c.name);
        (failuresInCase == 0 ? passed : failed) += 1;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    return failed == 0 && passed > 0 ? 0 : 1;
}
