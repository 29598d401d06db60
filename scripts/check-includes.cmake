# SPDX-License-Identifier: GPL-3.0-or-later
# The include rules that keep the layers apart, checked on every source file:
#   cmake -DSOURCE_DIR=<tree> -P scripts/check-includes.cmake
# Each folder is one library and one floor, and the arrows run one way:
# app -> capture, browser, convert -> ui -> platform -> core. System
# calls stay in platform/ and core/, where each has a small function the rest
# of the program calls, and only the composition root (app/services.cpp) and
# the program's entry pick Linux implementations. Fails naming every include
# that breaks a rule.

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "Give the source tree as -DSOURCE_DIR=<folder>")
endif()

# POSIX, X11 and Wayland headers: a folder outside platform/ and core/ that wants one
# wants a function of platform/ or core/ instead.
set(system_header "^(unistd\\.h|fcntl\\.h|dirent\\.h|poll\\.h|pwd\\.h|grp\\.h|spawn\\.h|dlfcn\\.h|termios\\.h|pthread\\.h|wayland-.*|(sys|linux|netinet|arpa|X11|xcb)/.*)$")
set(app_header "^app/")
set(qt_header "^Qt?[A-Z]")
set(project_folder "^(app|capture|browser|convert|ui|tool|platform)/")

set(violations 0)

# Reports each include of a file under folders whose header matches pattern.
function(forbid folders pattern why)
    foreach(folder IN LISTS folders)
        file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
        foreach(source IN LISTS sources)
            file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
            foreach(line IN LISTS includes)
                string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1"
                       header "${line}")
                if(header MATCHES "${pattern}")
                    file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
                    message(SEND_ERROR "${shown} includes ${header}: ${why}")
                    math(EXPR violations "${violations} + 1")
                endif()
            endforeach()
        endforeach()
    endforeach()
    set(violations ${violations} PARENT_SCOPE)
endfunction()

set(subsystems capture browser convert)
forbid("app;${subsystems};ui;tool" "${system_header}"
       "a POSIX or X11 header outside platform/ and core/")
forbid("${subsystems};ui;platform;core;tool" "${app_header}" "app/ is included only by app/")
foreach(subsystem IN LISTS subsystems)
    set(others ${subsystems})
    list(REMOVE_ITEM others ${subsystem})
    list(JOIN others "|" others)
    forbid("${subsystem}" "^(${others})/" "a subsystem never includes another")
endforeach()
forbid("ui" "^(capture|browser|convert|tool)/" "ui/ is below the subsystems")
forbid("platform" "^(capture|browser|convert|ui|tool)/"
       "platform/ includes only platform/ and core/")
forbid("core" "${qt_header}" "core/ has no Qt")
forbid("core" "${project_folder}" "core/ includes only core/")

# Linux implementations are picked by the composition root alone.
file(GLOB_RECURSE picked RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/app/*" "${SOURCE_DIR}/ui/*"
     "${SOURCE_DIR}/capture/*" "${SOURCE_DIR}/browser/*" "${SOURCE_DIR}/convert/*"
     "${SOURCE_DIR}/tool/*")
foreach(source IN LISTS picked)
    if(source MATCHES "^app/(services\\.cpp|main\\.cpp)$" OR NOT source MATCHES "\\.(h|cpp)$")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"platform/linux/")
    foreach(line IN LISTS includes)
        message(SEND_ERROR "${source}: ${line}: only the composition root picks Linux implementations")
        math(EXPR violations "${violations} + 1")
    endforeach()
endforeach()

if(violations GREATER 0)
    message(FATAL_ERROR "${violations} include(s) break the layering rules")
endif()
message(STATUS "The include rules hold")
