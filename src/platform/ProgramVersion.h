#pragma once

namespace telvorn {

// The program's own version, from the build (the project version in CMake).
struct ProgramVersion {
    int major;
    int minor;
    int revision;
};

inline constexpr ProgramVersion kProgramVersion{TELVORN_VERSION_MAJOR, TELVORN_VERSION_MINOR,
                                                TELVORN_VERSION_PATCH};

} // namespace telvorn
