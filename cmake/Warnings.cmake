# SPDX-License-Identifier: GPL-3.0-or-later
# Every target of the project is built with the same warnings; CI and the
# test script turn them into errors.
option(KADRIX_WERROR "Treat compiler warnings as errors" ON)

add_compile_options(
    -Wall -Wextra -Wpedantic -Wshadow -Wcast-qual -Wformat=2 -Wimplicit-fallthrough -Wundef
    # The protocol code that wayland-scanner generates is C.
    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor> $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast>)
if(KADRIX_WERROR)
    add_compile_options(-Werror)
endif()
