#!/usr/bin/env bash
# Makes the Debian packages from a built tree and checks them as a user's
# machine would meet them: lintian silent, AppStream data and desktop entry
# valid, installable, the installed program answering on the terminal and
# its manual page listed, and a purge leaving nothing behind.
#   packaging/check-packages.sh <build dir>    (as root, on Debian 12)
set -euo pipefail
build=$(realpath "$1")
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
packages=(tovik libovgrid1 libovnavbar1 libovgrid-dev libovnavbar-dev)

# The packages install into /usr, as Debian's do; a tree configured for
# another prefix is set to it first (only what names the prefix is rebuilt).
cmake -S "$(dirname "$0")/.." -B "$build" -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" -j2 >/dev/null
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 \
    || { cat "$out/cpack.log"; exit 1; }
chmod -R a+rX "$out"
debs=()
for p in "${packages[@]}"; do debs+=("$out/${p}_"*.deb); done

# lintian warns when run as root, so it reads the packages as nobody, from
# their own folder: nobody may not enter the checkout (a private clone).
report=$(cd "$out" && runuser -u nobody -- lintian --fail-on error,warning "${debs[@]}" 2>&1) || true
if [ -n "$report" ]; then
    echo "lintian:"; echo "$report"; exit 1
fi
echo "lintian: nothing to report on ${#debs[@]} packages"

# The packages' paths, and which of them this machine has before installing.
paths=$(for d in "${debs[@]}"; do dpkg-deb -c "$d" | awk '{print substr($6, 2)}'; done | sort -u)
present() { for p in $paths; do if [ -e "$p" ] || [ -L "$p" ]; then echo "$p"; fi; done; }
before=$(present)

DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${debs[@]}" \
    >"$out/apt.log" 2>&1 || { cat "$out/apt.log"; exit 1; }
appstreamcli validate --no-net /usr/share/metainfo/com.orvane.tovik.metainfo.xml
desktop-file-validate /usr/share/applications/tovik.desktop
# From the installed path with no display: the terminal options need none.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM /usr/bin/tovik --version)
[ "$version" = "Tovik 1.0.0" ] || { echo "tovik --version printed: $version"; exit 1; }
env -u DISPLAY /usr/bin/tovik --help | grep -- --copy-database >/dev/null
[ "$(man -w tovik)" = /usr/share/man/man1/tovik.1.gz ]
man tovik 2>/dev/null | grep TOVIK_DATA_DIR >/dev/null
# The libraries come from the system folder, found through the trigger's
# ldconfig run, not through a search path of the program's own.
ldconfig -p | grep -E 'libovGrid\.so\.1 .*=> (/usr)?/lib/x86_64-linux-gnu/' >/dev/null
ldd /usr/bin/tovik | grep -E 'libovnavbar\.so\.1 => (/usr)?/lib/x86_64-linux-gnu/' >/dev/null
echo "installed: $version, man tovik, --help"

DEBIAN_FRONTEND=noninteractive apt-get purge -y "${packages[@]}" \
    >"$out/apt.log" 2>&1 || { cat "$out/apt.log"; exit 1; }
after=$(present)
if [ "$before" != "$after" ]; then
    echo "left behind after purge:"; diff <(echo "$before") <(echo "$after") || true; exit 1
fi
if ldconfig -p | grep libovGrid; then echo "ldconfig still lists the library"; exit 1; fi
echo "purged: nothing left behind"
