# SPDX-License-Identifier: GPL-3.0-or-later
# The C library's checked variants of the string, memory and stdio functions,
# as Debian builds its own packages (dpkg-buildflags). They need the
# optimiser, and the sanitizers check more without them.
if(NOT KADRIX_SANITIZE AND NOT KADRIX_FUZZ AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
    add_compile_definitions(_FORTIFY_SOURCE=2)
endif()
