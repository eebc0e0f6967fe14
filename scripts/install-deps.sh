#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build, run and test Tiko Clock.
# Idempotent: does nothing when everything is present.
set -euo pipefail

packages=(
    cmake make
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
    clang lld # the second compiler and its linker, for the same target (scripts/build-clang.sh)
    wixl      # the MSI package
    msitools  # msiinfo: the package's tables, read by its tests
    wine wine64
    xvfb x11-utils x11-xserver-utils xauth
    fonts-wqy-microhei
    fonts-dejavu-core # a TrueType file for the private font collection tests
    fonts-wine        # Wine's own fonts: the title bar's close glyph (Marlett)
    googletest
    imagemagick
    locales
    zip unzip
    e2fsprogs # chattr, for the immutable program folder test
    procps    # pgrep, for scripts/run-bench.sh
    faketime  # end-to-end runs under a faked clock
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page from the locale: 936 needs zh_CN, and the
# Western and Japanese code page checks need en_US and ja_JP.
need_locales=()
locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$' || need_locales+=("zh_CN.UTF-8 UTF-8")
locale -a 2>/dev/null | grep -qi '^en_US.utf8$' || need_locales+=("en_US.UTF-8 UTF-8")
locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$' || need_locales+=("ja_JP.UTF-8 UTF-8")
if [ "${#need_locales[@]}" -gt 0 ]; then
    for l in "${need_locales[@]}"; do
        grep -q "^$l" /etc/locale.gen 2>/dev/null || echo "$l" | $SUDO tee -a /etc/locale.gen >/dev/null
    done
    $SUDO locale-gen >/dev/null
fi
