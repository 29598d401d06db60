#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# cmake --install into a temporary prefix: exactly the expected files, a
# launcher and metainfo that the desktop's validators accept without a remark,
# icons of their stated sizes, the media module apart from the program, man
# pages that render without warnings, NEWS opening with this version, a
# program and a tool that say their version from there, and the tool's
# commands completed in bash.
#   install_tree.sh BUILD_DIR SOURCE_DIR VERSION APP_ID
set -euo pipefail
build=$1 source=$2 version=$3 id=$4

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(bin/kadrix bin/kadrix-tool lib/kadrix/kadrix-export.so lib/kadrix/kadrix-media.so
          lib/kadrix/kadrix-portal.so
          "share/applications/$id.desktop"
          share/bash-completion/completions/kadrix-tool
          "share/icons/hicolor/scalable/apps/$id.svg"
          share/man/man1/kadrix.1.gz share/man/man1/kadrix-tool.1.gz
          "share/metainfo/$id.metainfo.xml"
          share/doc/kadrix/copyright share/doc/kadrix/changelog.gz share/doc/kadrix/NEWS.gz
          share/lintian/overrides/kadrix)
for size in 16 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x$size/apps/$id.png")
done
if [ -d "$source/resources/help" ]; then
    while IFS= read -r file; do
        expected+=("share/kadrix/help/$file")
    done < <(cd "$source/resources/help" && find . -type f -printf '%P\n')
fi
if ! diff -u <(printf '%s\n' "${expected[@]}" | sort) \
        <(cd "$prefix" && find . \( -type f -o -type l \) -printf '%P\n' | sort); then
    echo "FAIL: the installed files differ from the expected list (- expected, + installed)"
    exit 1
fi

# Hints too: one says when the launcher would show twice in the menu.
remarks=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1)
[ -z "$remarks" ] || { echo "FAIL: the launcher: $remarks"; exit 1; }
# The program starts without Qt Multimedia; its module has every library.
if ldd "$prefix/bin/kadrix" | grep -q Multimedia; then
    echo "FAIL: the program links Qt Multimedia"; exit 1
fi
if ldd "$prefix/lib/kadrix/kadrix-media.so" | grep -q "not found"; then
    echo "FAIL: the media module lacks libraries"; exit 1
fi
# Nor does it, or the tool, start with FFmpeg's libraries: the exports load
# their module, which has them all.
if ldd "$prefix/bin/kadrix" "$prefix/bin/kadrix-tool" | grep -q libavcodec; then
    echo "FAIL: the program or the tool links FFmpeg's libraries"; exit 1
fi
if ldd "$prefix/lib/kadrix/kadrix-export.so" | grep -q "not found"; then
    echo "FAIL: the export module lacks libraries"; exit 1
fi
# Nor with libpipewire: the portal's grab loads its module on the desktops
# that need it.
if ldd "$prefix/bin/kadrix" "$prefix/bin/kadrix-tool" | grep -q libpipewire; then
    echo "FAIL: the program or the tool links libpipewire"; exit 1
fi
if ldd "$prefix/lib/kadrix/kadrix-portal.so" | grep -q "not found"; then
    echo "FAIL: the portal module lacks libraries"; exit 1
fi
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"

for size in 16 32 48 64 128 256; do
    actual=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png")
    [ "$actual" = "${size}x$size" ] || { echo "FAIL: the ${size}px icon is $actual"; exit 1; }
done

for page in kadrix kadrix-tool; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l \
        "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "FAIL: the man page $page(1): $warnings"; exit 1; }
done
news=$(zcat "$prefix/share/doc/kadrix/NEWS.gz" | sed -n 1p)
[[ $news == "Kadrix $version "* ]] || { echo "FAIL: NEWS begins '$news', not $version"; exit 1; }

for program in kadrix kadrix-tool; do
    actual=$("$prefix/bin/$program" --version)
    [ "$actual" = "$program $version" ] || { echo "FAIL: $program --version says '$actual'"; exit 1; }
done

# What bash offers after "kadrix-tool j" and "kadrix-tool type --c".
complete_words() {
    bash -c 'source /usr/share/bash-completion/bash_completion
             source "$1"; shift
             COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
             COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
             _kadrix_tool; echo "${COMPREPLY[*]}"' \
        complete "$prefix/share/bash-completion/completions/kadrix-tool" "$@"
}
[ -f /usr/share/bash-completion/bash_completion ] ||
    { echo "FAIL: install bash-completion"; exit 1; }
[ "$(complete_words kadrix-tool j)" = jpg ] || { echo "FAIL: no completion of jpg"; exit 1; }
[ "$(complete_words kadrix-tool w)" = webm ] || { echo "FAIL: no completion of webm"; exit 1; }
[ "$(complete_words kadrix-tool type --c)" = --code ] ||
    { echo "FAIL: no completion of --code"; exit 1; }
echo "installed files, launcher, metainfo, icons, man pages, NEWS, versions and completion are right"
