#!/usr/bin/env bash
# Installs Varnelle into a staging prefix and checks what a desktop sees of it:
# exactly the expected files, a menu entry and AppStream metadata that their
# validators accept, and that the entry, metadata and icons agree with each
# other and with the installed tree.
# Usage: install_test.sh <build-dir> <source-dir> <project-version>
set -euo pipefail
build=$1 source=$2 version=$3
id=fr.varnelle.varnelle
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$stage" >/dev/null

expected=(
    bin/varnelle
    "share/applications/$id.desktop"
    "share/metainfo/$id.metainfo.xml"
    share/varnelle/Marseillaise.wav
    share/doc/varnelle/LICENSE
    share/doc/varnelle/NOTICE
)
for size in 16 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x$size/apps/$id.png")
done
for licence in "$source"/assets/licenses/*; do
    expected+=("share/doc/varnelle/licenses/${licence##*/}")
done
if ! diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$stage" && find . -type f -printf '%P\n' | sort); then
    fail "installed files differ from the expected list (< expected, > installed)"
fi
[[ -x "$stage/bin/varnelle" ]] || fail "the program is not executable"

desktop="$stage/share/applications/$id.desktop"
metainfo="$stage/share/metainfo/$id.metainfo.xml"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the menu entry"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli rejects the metainfo"

entry() { sed -n "s/^$1=//p" "$desktop"; }
# Wayland compositors find the window's icon through the desktop file name
# the program announces, which must name the installed entry.
announced=$(/usr/bin/python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["applicationId"])' \
    "$build/layout.json")
[[ "$announced" == "$id" ]] || fail "the program announces $announced, not $id"
[[ "$(entry Exec)" == varnelle ]] || fail "Exec= is not the installed program's name"
[[ "$(entry Icon)" == "$id" ]] || fail "Icon= is not the application id"
[[ "$(entry Categories)" == "Education;Geography;" ]] || fail "unexpected Categories="
[[ -n "$(entry 'Name\[fr\]')" && -n "$(entry 'Comment\[fr\]')" ]] || fail "no French Name or Comment"
# The program opens the anthem in its working directory, which Path= sets.
[[ "$(entry Path)" == "$stage/share/varnelle" ]] || fail "Path= is $(entry Path), not the installed data directory"

# The metainfo's links to the rest: its id, its desktop entry, the release
# being built, and the screenshot the README shows, at its real size.
xml() { xmllint --xpath "$1" "$metainfo"; }
[[ "$(xml 'string(/component/id)')" == "$id" ]] || fail "AppStream id is not the application id"
[[ "$(xml 'string(/component/launchable[@type="desktop-id"])')" == "$id.desktop" ]] || fail "launchable is not the installed entry"
[[ "$(xml 'string(/component/releases/release[1]/@version)')" == "$version" ]] ||
    fail "the newest release in the metainfo is not $version, the version being built"
shot=$(xml 'string(//screenshot[@type="default"]/image)')
png="$source/docs/screenshots/${shot##*/}"
[[ -f "$png" ]] || fail "the metainfo's screenshot ${shot##*/} is not in docs/screenshots"
[[ "$(identify -format '%wx%h' "$png")" == "$(xml 'string(//screenshot[@type="default"]/image/@width)')x$(xml 'string(//screenshot[@type="default"]/image/@height)')" ]] ||
    fail "the metainfo's screenshot size differs from $png"

for size in 16 32 48 64 128 256; do
    icon="$stage/share/icons/hicolor/${size}x$size/apps/$id.png"
    [[ "$(identify -format '%m %wx%h' "$icon")" == "PNG ${size}x$size" ]] || fail "$icon is not a ${size}x$size PNG"
done
echo "installed tree, menu entry and metainfo are consistent"
