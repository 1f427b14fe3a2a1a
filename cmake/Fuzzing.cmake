# libFuzzer targets (tests/fuzz) need clang: its -fsanitize=fuzzer brings the
# fuzzing engine, and every object of the build is instrumented for coverage
# so the engine can steer into the core's branches, not only the target's.
# The sanitizers are always on here: a fuzz run without them finds crashes only.
option(TELVORN_FUZZ "Build the libFuzzer targets (needs clang and libclang-rt)" OFF)

if(TELVORN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TELVORN_FUZZ needs clang (e.g. -DCMAKE_CXX_COMPILER=clang++-14; "
                        "scripts/install-deps.sh fuzz installs it)")
  endif()
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer")
  check_cxx_source_compiles("
    #include <cstddef>
    #include <cstdint>
    extern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }"
    TELVORN_HAVE_LIBFUZZER)
  unset(CMAKE_REQUIRED_FLAGS)
  if(NOT TELVORN_HAVE_LIBFUZZER)
    message(FATAL_ERROR "clang cannot link -fsanitize=fuzzer: install libclang-rt-14-dev "
                        "(scripts/install-deps.sh fuzz does)")
  endif()
  set(TELVORN_SANITIZE ON CACHE BOOL "Build with AddressSanitizer and UndefinedBehaviorSanitizer" FORCE)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
