# Every target of the project is built with the same warnings; CI and the
# test script turn them into errors.
option(KADRIX_WERROR "Treat compiler warnings as errors" ON)

add_compile_options(
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-qual
    -Wformat=2 -Wimplicit-fallthrough -Wold-style-cast -Wundef)
if(KADRIX_WERROR)
    add_compile_options(-Werror)
endif()
