#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package made from the build: its control fields (dependencies
# computed from the binaries among them) and contents, and Debian's checker
# lintian with nothing to say beyond what the package's overrides explain; as
# root, installed with dpkg, the program and the tool run from it and the
# package removed without a trace.
#   deb.sh BUILD_DIR VERSION APP_ID
set -euo pipefail
build=$1 version=$2 id=$3

out=$(mktemp -d)
installed=
cleanup() {
    [ -z "$installed" ] || dpkg_waiting --remove kadrix >/dev/null || true
    rm -rf "$out"
}
trap cleanup EXIT

# dpkg takes no lock timeout; other installs on the machine may hold the
# lock for a while.
dpkg_waiting() {
    local deadline=$((SECONDS + 900)) output
    until output=$(dpkg "$@" 2>&1); do
        if [[ $output == *"lock"* ]] && [ $SECONDS -lt $deadline ]; then
            sleep 2
            continue
        fi
        echo "$output" >&2
        return 1
    done
    echo "$output"
}
fail() { echo "FAIL: $*"; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(echo "$out"/kadrix_"$version"_*.deb)
[ -f "$deb" ] || fail "no package kadrix_${version}_*.deb"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = kadrix ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
[[ $(field Maintainer) == *"<"*"@"*">" ]] || fail "Maintainer: $(field Maintainer)"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
for wanted in libqt6widgets6 libqt6multimedia6 libxcb-shm0 libc6 qt6-qpa-plugins qt6-translations-l10n \
              fonts-liberation libavcodec59 libavformat59 libavfilter8 libswscale6 \
              gstreamer1.0-plugins-base gstreamer1.0-plugins-good; do
    [[ $depends == *"$wanted"* ]] || fail "Depends lacks $wanted: $depends"
done
recommends=$(field Recommends)
for wanted in xdg-utils pulseaudio-utils; do
    [[ $recommends == *"$wanted"* ]] || fail "Recommends lacks $wanted: $recommends"
done

contents=$(dpkg-deb --contents "$deb" | awk '{ print $6 }')
files=(/usr/bin/kadrix /usr/bin/kadrix-tool /usr/lib/kadrix/kadrix-media.so /usr/lib/kadrix/kadrix-export.so
       /usr/lib/kadrix/kadrix-portal.so
       "/usr/share/applications/$id.desktop"
       "/usr/share/metainfo/$id.metainfo.xml" "/usr/share/icons/hicolor/48x48/apps/$id.png"
       "/usr/share/icons/hicolor/scalable/apps/$id.svg" /usr/share/man/man1/kadrix.1.gz
       /usr/share/man/man1/kadrix-tool.1.gz /usr/share/bash-completion/completions/kadrix-tool
       /usr/share/doc/kadrix/copyright /usr/share/lintian/overrides/kadrix)
for file in "${files[@]}"; do
    grep -qx "\.$file" <<<"$contents" || fail "the package lacks $file"
done

# Informational tags fail too: each one left is fixed or overridden, with
# the reason beside the override.
lintian --fail-on error,warning,info --info "$deb" || fail "lintian has remarks on the package"

# Both programs say this version.
versions_from() {
    [ "$("$1/kadrix" --version)" = "kadrix $version" ] ||
        fail "$1/kadrix does not say its version"
    [ "$("$1/kadrix-tool" --version)" = "kadrix-tool $version" ] ||
        fail "$1/kadrix-tool does not say its version"
}

if [ "$(id -u)" -ne 0 ] || dpkg-query -W -f='${Status}' kadrix 2>/dev/null | grep -q installed; then
    # Not root, or a Kadrix the user installed: the package is unpacked,
    # not installed.
    dpkg-deb -x "$deb" "$out/root"
    versions_from "$out/root/usr/bin"
    echo "package fields and contents are right (not installed: not root or already there)"
    exit 0
fi

installed=yes
dpkg_waiting --install "$deb" >/dev/null
versions_from /usr/bin
desktop-file-validate "/usr/share/applications/$id.desktop"
dpkg_waiting --remove kadrix >/dev/null
installed=
for file in "${files[@]}"; do
    [ ! -e "$file" ] || fail "$file is left after removal"
done
! dpkg-query -W -f='${Status}' kadrix 2>/dev/null | grep -q 'ok installed' ||
    fail "kadrix is still installed"
echo "lintian passed the package, it installed with dpkg, its programs ran, and it was removed cleanly"
