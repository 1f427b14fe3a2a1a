#pragma once

#include "shell/Settings.h"

namespace telvorn::test {

// Settings with every field off its default, for the tests of every store:
// the window off the screen's origin, negative twips included, and flags
// that differ from their neighbours, so that a field read or written in
// another's place shows.
inline AppSettings Changed()
{
    return {2400.0f, -300.0f, 18, true, false, true, "-33.9", "151.2", 7, true, "/dev/ttyUSB0", ScopePlace::Below, 75};
}

} // namespace telvorn::test
