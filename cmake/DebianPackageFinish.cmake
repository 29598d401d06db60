# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack once the package is made (CPACK_POST_BUILD_SCRIPTS): finishes
# it as Debian's own packaging tools would where CPack does otherwise.
# - CPack gives a package with a shared object under /usr/lib postinst and
#   postrm scripts that call ldconfig. The media module there is no library
#   of the linker's (the program loads it by its path), and Debian leaves
#   ldconfig to dpkg's trigger: those two scripts go.
# - The binaries lose their .comment section, the compilers' names and
#   versions, which dh_strip removes too; md5sums follows.
find_program(DPKG_DEB dpkg-deb REQUIRED)
find_program(OBJCOPY objcopy REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "\\.deb$")
        continue()
    endif()
    set(tree "${package}.tree")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND ${DPKG_DEB} --raw-extract ${package} ${tree}
                    COMMAND_ERROR_IS_FATAL ANY)
    foreach(script IN ITEMS postinst postrm)
        if(EXISTS "${tree}/DEBIAN/${script}")
            file(READ "${tree}/DEBIAN/${script}" text)
            string(REGEX REPLACE "[ \t\n]+" " " text "${text}")
            # CPack's own script only: set -e and the one ldconfig call.
            if(text MATCHES "^#!/bin/sh set -e if \\[ \"\\$1\" = \"[a-z]+\" \\]; then ldconfig fi ?$")
                file(REMOVE "${tree}/DEBIAN/${script}")
            endif()
        endif()
    endforeach()
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${tree}" "${tree}/usr/*")
    list(SORT files)
    set(sums "")
    foreach(file IN LISTS files)
        if(IS_SYMLINK "${tree}/${file}")
            continue()
        endif()
        file(READ "${tree}/${file}" magic LIMIT 4 HEX)
        if(magic STREQUAL "7f454c46")
            execute_process(COMMAND ${OBJCOPY} --remove-section=.comment "${tree}/${file}"
                            COMMAND_ERROR_IS_FATAL ANY)
        endif()
        file(MD5 "${tree}/${file}" sum)
        string(APPEND sums "${sum}  ${file}\n")
    endforeach()
    file(WRITE "${tree}/DEBIAN/md5sums" "${sums}")
    execute_process(COMMAND ${DPKG_DEB} --root-owner-group --build ${tree} ${package}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE "${tree}")
endforeach()
