#!/usr/bin/env bash
# Builds the .deb with CPack and checks its control fields. Then, as a teacher
# would, installs it with apt and a child plays: the installed program, started
# from its desktop entry's Path= as the menu starts it, runs a whole session
# without an error under Xvfb, with real X input, and the anthem is heard on
# a private PulseAudio; the package is removed afterwards. Installing needs
# root (or sudo without a password) and a machine where varnelle is not
# already installed, which is not ours to replace; elsewhere the package is
# unpacked into a throwaway root and started to its welcome window.
# Both runs are scenarios of tools/varnelle_desktop, played from the build's
# layout.json.
# Usage: deb_test.sh <build-dir> <source-dir> <project-version>
set -euo pipefail
build=$1 source=$2 version=$3
id=fr.varnelle.varnelle
work=$(mktemp -d)
installed=''
sudo=()
((EUID == 0)) || sudo=(sudo -n)
export DEBIAN_FRONTEND=noninteractive
cleanup() {
    if [[ -n "$installed" ]] && dpkg-query -W varnelle >/dev/null 2>&1; then
        "${sudo[@]}" apt-get purge -y -qq varnelle >/dev/null
    fi
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
# The program runs on this machine's libraries: they must be the ones the
# package asks for, or apt would install others on a child's computer; apt
# then has nothing to download below.
printf 'Source: varnelle\n\nPackage: varnelle\nArchitecture: any\n' >"$work/control"
dpkg-checkbuilddeps -d "$depends" "$work/control" || fail "this machine does not satisfy Depends"

if "${sudo[@]}" true 2>/dev/null && ! dpkg-query -W varnelle >/dev/null 2>&1; then
    # apt reads a local package as its own unprivileged user.
    chmod a+rx "$work" "$work/out"
    installed=yes
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log" >&2; fail "apt could not install the package"; }
    root=''
else
    echo "installing needs root and no varnelle already installed: unpacking the package instead"
    root="$work/root"
    dpkg-deb -x "$deb" "$root"
fi

desktop="$root/usr/share/applications/$id.desktop"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[[ -f "$root$(entry Path)/Marseillaise.wav" ]] || fail "no anthem in the entry's Path= $(entry Path)"
[[ -x "$root/usr/bin/$(entry Exec)" ]] || fail "Exec= $(entry Exec) is not in /usr/bin"
[[ -f "$root/usr/share/icons/hicolor/48x48/apps/$(entry Icon).png" ]] || fail "no icon named $(entry Icon)"

scenario() { # binary, scenario, working directory
    PYTHONPATH="$source/tools" /usr/bin/python3 -m varnelle_desktop.scenarios "$1" "$build/layout.json" "$2" \
        --workdir "$3"
}
if [[ -n "$installed" ]]; then
    [[ "$(command -v "$(entry Exec)")" == "/usr/bin/$(entry Exec)" ]] || fail "$(entry Exec) is not on PATH"
    scenario "/usr/bin/$(entry Exec)" perfect "$(entry Path)" || fail "a winning session with the installed program failed"
    echo "the installed program plays a winning session to the anthem"
    exit 0
fi

scenario "$root/usr/bin/$(entry Exec)" shows-welcome "$root$(entry Path)" ||
    fail "the packaged program did not show its welcome window"
echo "the packaged program shows its welcome window"
