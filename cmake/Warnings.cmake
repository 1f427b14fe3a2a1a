# Every target of the project gets the same warning set; CI builds with
# warnings as errors, so a warning never lands unnoticed.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
if(TELVORN_WERROR)
  add_compile_options(-Werror)
endif()

if(TELVORN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
