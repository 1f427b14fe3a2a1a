#pragma once

#include <QApplication>

namespace telvorn::test {

// The one application object of a test program, created on first use. The
// windows are drawn offscreen unless the caller chose a platform.
inline QApplication& App()
{
    static int argc = 1;
    static char name[] = "telvorn_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

} // namespace telvorn::test
