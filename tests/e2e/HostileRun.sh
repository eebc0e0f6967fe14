#!/usr/bin/env bash
# Runs the end-to-end tests that need the machine set up first (a CTest test
# each):
#   HostileRun.sh western  E2E_EXE CLOCK_EXE   Wine with LC_ALL=en_US.UTF-8, code page 1252
#   HostileRun.sh japanese E2E_EXE CLOCK_EXE   Wine with LC_ALL=ja_JP.UTF-8, code page 932
#   HostileRun.sh readonly E2E_EXE CLOCK_EXE   the clock in immutable folders (chattr +i)
# Exits 77 (skipped) when the machine cannot be set up so. Once it is set
# up, the test must run: a test executable that skipped everything (77)
# fails the run.
set -euo pipefail
mode="$1" e2e="$2" clock="$3"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

run_tests() {
    local status=0
    bash "$root/tests/support/RunToSummary.sh" bash "$root/scripts/wine-exec.sh" "$e2e" --gtest_filter="$1" "$clock" || status=$?
    if [ "$status" -eq 77 ]; then
        echo "$1 did not run although this machine is set up for it"
        return 1
    fi
    return "$status"
}

case "$mode" in
western)
    locale -a 2>/dev/null | grep -qi '^en_US.utf8$' || { echo "no en_US.UTF-8 locale"; exit 77; }
    export TIKO_LOCALE=en_US.UTF-8
    run_tests 'WesternCodePage.*'
    ;;
japanese)
    locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$' || { echo "no ja_JP.UTF-8 locale"; exit 77; }
    export TIKO_LOCALE=ja_JP.UTF-8
    run_tests 'JapaneseCodePage.*'
    ;;
readonly)
    work="$(mktemp -d /tmp/tiko-readonly.XXXXXX)"
    unlock() {
        chattr -R -i "$work" 2>/dev/null || true
        rm -rf "$work"
    }
    trap unlock EXIT
    # One folder with a settings file, one without (the first start cannot
    # create it).
    mkdir "$work/with-settings" "$work/without-settings"
    for folder in "$work/with-settings" "$work/without-settings"; do
        cp "$clock" "$folder/TikoClock.exe"
    done
    printf '[时钟]\r\n字体大小=60\r\n[基本设置]\r\n显示秒数=假\r\n' | iconv -f UTF-8 -t GBK \
        >"$work/with-settings/配置.ini" # Wine keeps file names in UTF-8
    if ! chattr +i "$work/with-settings/"* "$work/with-settings" "$work/without-settings" 2>/dev/null; then
        # Root on ext2/3/4 (as in CI) can always do it: there a failure is one.
        if [ "$(id -u)" -eq 0 ] && [ "$(stat -f -c %T "$work")" = "ext2/ext3" ]; then
            echo "chattr +i failed as root on ext2/3/4 (is e2fsprogs installed?)"
            exit 1
        fi
        echo "chattr +i is not available here (needs root on ext2/3/4)"
        exit 77
    fi
    windows() { echo "Z:${1//\//\\}"; }
    export TIKO_READONLY_FOLDERS="$(windows "$work/with-settings");$(windows "$work/without-settings")"
    run_tests 'ReadOnlyProgramFolder.*'
    ;;
*)
    echo "usage: $0 western|japanese|readonly E2E_EXE CLOCK_EXE" >&2
    exit 64
    ;;
esac
