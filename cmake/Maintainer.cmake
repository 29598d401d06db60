# SPDX-License-Identifier: GPL-3.0-or-later
# KADRIX_MAINTAINER, "Name <address>": who answers for the package built from
# this tree, named in its control file and its changelog. Kadrix has no
# address of its own to put there, so by default it is whoever builds the
# package, as Debian's own tools name them (DEBFULLNAME and DEBEMAIL), else
# the source tree's git identity. Without either, the placeholder's address
# cannot exist (.invalid, RFC 2606) and its name says that nobody was named.
set(default_name "$ENV{DEBFULLNAME}")
set(default_address "$ENV{DEBEMAIL}")
# DEBEMAIL may hold "Name <address>" itself.
if(default_address MATCHES "^(.*[^ ]) *<([^>]+)>$")
    set(default_address "${CMAKE_MATCH_2}")
    if(NOT default_name)
        set(default_name "${CMAKE_MATCH_1}")
    endif()
endif()
if(NOT default_address)
    find_package(Git QUIET)
    if(GIT_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} config user.email
                        OUTPUT_VARIABLE default_address OUTPUT_STRIP_TRAILING_WHITESPACE
                        ERROR_QUIET)
        execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} config user.name
                        OUTPUT_VARIABLE git_name OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(NOT default_name)
            set(default_name "${git_name}")
        endif()
    endif()
endif()
if(default_address)
    if(NOT default_name)
        set(default_name "Kadrix packager")
    endif()
    set(default_maintainer "${default_name} <${default_address}>")
else()
    set(default_maintainer "Unnamed Kadrix packager <nobody@kadrix.invalid>")
endif()
set(KADRIX_MAINTAINER "${default_maintainer}" CACHE STRING
    "The package's maintainer, \"Name <address>\" (default: DEBFULLNAME and DEBEMAIL, else git's user)")
