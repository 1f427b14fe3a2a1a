# Every target of the project gets the same warning set; CI builds with
# warnings as errors, so a warning never lands unnoticed.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
# GCC 12 reports -Wrestrict inside libstdc++'s own std::string code at -O2/-O3
# (GCC bug 105651), a false positive that no change of ours can avoid.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()
if(TELVORN_WERROR)
  add_compile_options(-Werror)
endif()

if(TELVORN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
