#!/usr/bin/env bash
# The MSI package as an administrator and a user meet it (CTest's
# e2e_install), in a copy of the project's Wine prefix:
#   InstallRun.sh E2E_EXE PACKAGE NEXT_PACKAGE NEXT_VERSION
# Runs the tests named InstalledPackage.* in steps (they install, upgrade
# and remove the package with msiexec themselves). For the third, the
# installed folder cannot be written (chattr +i), as Program Files cannot for
# a user. Exits 77 (skipped) where chattr +i is not
# available; once it is, a step that did not run fails.
set -euo pipefail
e2e="$1" package="$2" next="$3" nextVersion="$4"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$root/scripts/env.sh"
source "$root/scripts/dpi-prefix.sh"

installed=""
cleanup() {
    [ -z "$installed" ] || chattr -R -i "$installed" 2>/dev/null || true
    leave_prefix_copy
}
trap cleanup EXIT
enter_prefix_copy install

probe="$WINEPREFIX/drive_c/tiko-chattr-probe"
mkdir -p "$probe"
if ! chattr +i "$probe" 2>/dev/null; then
    echo "chattr +i is not available here (needs root on ext2/3/4)"
    exit 77
fi
chattr -i "$probe" && rmdir "$probe"

windows() { echo "Z:${1//\//\\}"; }
export TIKO_PACKAGE="$(windows "$package")" TIKO_NEXT_PACKAGE="$(windows "$next")"
export TIKO_NEXT_VERSION="$nextVersion"
wineserver -p
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

run_step() {
    local status=0
    bash "$root/tests/support/RunToSummary.sh" wine "$e2e" --gtest_filter="$1" || status=$?
    if [ "$status" -eq 77 ]; then
        echo "$1 did not run"
        return 1
    fi
    return "$status"
}

run_step 'InstalledPackage.InstallPutsTheProgramTheShortcutAndTheEntryInPlace'
run_step 'InstalledPackage.TheClockInAWritableFolderKeepsItsSettingsPerUserAllTheSame'
installed="$WINEPREFIX/drive_c/Program Files/Tiko Clock"
chattr -R +i "$installed"
run_step 'InstalledPackage.TheClockInTheLockedFolderKeepsItsSettingsPerUserAndStartsWithWindows'
chattr -R -i "$installed"
# One step each, in the order they build on: a filter naming several would
# run them in the order the source declares them.
run_step 'InstalledPackage.UpgradeReplacesTheProgramInPlace'
run_step 'InstalledPackage.TheOlderVersionsRemovalWithinAnUpgradeKeepsTheRunValues'
run_step 'InstalledPackage.UninstallRemovesAllButTheUsersSettings'
