# SPDX-License-Identifier: GPL-3.0-or-later
# AddressSanitizer and UndefinedBehaviorSanitizer for the whole build; the test
# script runs the suite once more in such a build.
option(KADRIX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(KADRIX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
