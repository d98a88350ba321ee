#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Tovik.
set -euo pipefail
packages=(
    cmake g++ make pkg-config
    # dpkg-dev: dpkg-shlibdeps, which `cpack -G DEB` uses to find run-time dependencies
    dpkg-dev file
    qt6-base-dev qt6-qpa-plugins libqt6sql6-sqlite qt6-tools-dev libgl-dev
    libxlsxwriter-dev libzip-dev libsqlite3-dev
    # a shared database server; the tests start a throwaway cluster of their
    # own, bench_server runs the bare statements through libpq
    libqt6sql6-psql postgresql postgresql-client libpq-dev
    fonts-noto-cjk
    # package checks (packaging/check-packages.sh): lintian, AppStream,
    # desktop entry, manual pages
    lintian appstream desktop-file-utils man-db
    # test oracles and headless display
    sqlite3 python3-openpyxl poppler-utils xvfb xauth
    # the old program's Access database: libmdb reads it, the command-line
    # tools check the files that tools/mdbwriter writes
    mdbtools mdbtools-dev
    # ICU's sort keys for the lists' pinyin order (Qt's collator uses it too)
    libicu-dev
    # Chinese typed through a real input method (tools/ime-session.sh):
    # fcitx5 with pinyin, its Qt 6 input context, a session bus, xdotool
    fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6 dbus dbus-x11 xdotool
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
