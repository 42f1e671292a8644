#!/usr/bin/env bash
# Builds the .deb with CPack, checks its control fields, unpacks it into a
# throwaway root (the machine's own packages stay untouched) and starts the
# program it holds as its menu entry would, on a private Xvfb display, until
# the welcome window appears.
# Usage: deb_test.sh <build-dir> <project-version>
set -euo pipefail
build=$1 version=$2
id=fr.varnelle.varnelle
work=$(mktemp -d)
xvfb='' program=''
cleanup() {
    [[ -n "$program" ]] && kill "$program" 2>/dev/null
    [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null
    wait
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb="$work/out/varnelle_${version}_$(dpkg --print-architecture).deb"
[[ -f "$deb" ]] || fail "cpack made no $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[[ "$(field Package)" == varnelle && "$(field Version)" == "$version" ]] || fail "wrong package name or version"
[[ "$(field Section)" == education ]] || fail "Section is $(field Section)"
[[ "$(field Maintainer)" == *@* ]] || fail "Maintainer has no address"
[[ "$(field Description)" == *$'\n'* ]] || fail "Description has no long part"
# dpkg-shlibdeps must have seen the libraries the program links; libcanberra,
# which it loads itself, is declared by hand.
depends=$(field Depends)
names() { sed -E 's/ *\([^)]*\)//g; s/ *[,|] */\n/g' <<<"$1"; }
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libcanberra0; do
    names "$depends" | grep -x "$library" >/dev/null || fail "Depends lacks $library: $depends"
done
recommends=$(field Recommends)
for package in libcanberra-pulse qt6-wayland sound-theme-freedesktop; do
    names "$recommends" | grep -x "$package" >/dev/null || fail "Recommends lacks $package: $recommends"
done
# The unpacked program runs on this machine's libraries: they must be the ones
# the package asks for, or apt would install others on a child's computer.
printf 'Source: varnelle\n\nPackage: varnelle\nArchitecture: any\n' >"$work/control"
dpkg-checkbuilddeps -d "$depends" "$work/control" || fail "this machine does not satisfy Depends"

root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop="$root/usr/share/applications/$id.desktop"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[[ -f "$root$(entry Path)/Marseillaise.wav" ]] || fail "no anthem in the entry's Path= $(entry Path)"
[[ -x "$root/usr/bin/$(entry Exec)" ]] || fail "Exec= $(entry Exec) is not in /usr/bin"
[[ -f "$root/usr/share/icons/hicolor/48x48/apps/$(entry Icon).png" ]] || fail "no icon named $(entry Icon)"

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
read -r -t 30 display <"$work/display" || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"
unset WAYLAND_DISPLAY

(cd "$root$(entry Path)" && exec "$root/usr/bin/$(entry Exec)") &
program=$!
timeout 60 xdotool search --sync --onlyvisible --name "Accueil des participant" >/dev/null ||
    fail "the welcome window did not appear"
kill -0 "$program" 2>/dev/null || fail "the program ended on its own"
echo "the packaged program shows its welcome window"
