#pragma once

#include <sstream>
#include <string>
#include <string_view>

// A small test runner for the Windows test program: GoogleTest is not built
// for the cross compiler, and these few cases need no more than this. Each
// case runs in order; the program ends with the line "N passed, M failed"
// and exits non-zero when a case failed or none ran.
namespace minitest {

using CaseFunction = void (*)();

struct Registrar {
    Registrar(const char* name, CaseFunction function);
};

void ReportFailure(const char* file, int line, const std::string& message);

// Printable form of a value: text with its unprintable bytes escaped.
std::string Show(std::string_view text);
inline std::string Show(const std::string& text)
{
    return Show(std::string_view(text));
}
inline std::string Show(const char* text)
{
    return Show(std::string_view(text));
}
template <typename T> std::string Show(const T& value)
{
    std::ostringstream out;
    out << +value;
    return out.str();
}

template <typename A, typename B>
void CheckEqual(const A& actual, const B& expected, const char* actualText, const char* file,
    int line, const std::string& context)
{
    if (actual == expected)
        return;
    ReportFailure(file, line,
        std::string(actualText) + " is " + Show(actual) + ", expected " + Show(expected)
            + (context.empty() ? "" : " [" + context + "]"));
}

} // namespace minitest

#define MT_CASE(name)                                                                              \
    static void name();                                                                            \
    static const minitest::Registrar name##Registrar(#name, &name);                                \
    static void name()

#define MT_CHECK(condition, context)                                                               \
    do {                                                                                           \
        if (!(condition))                                                                          \
            minitest::ReportFailure(                                                               \
                __FILE__, __LINE__, std::string(#condition " is false [") + (context) + "]");      \
    } while (false)

#define MT_CHECK_EQ(actual, expected, context)                                                     \
    minitest::CheckEqual((actual), (expected), #actual, __FILE__, __LINE__, (context))
