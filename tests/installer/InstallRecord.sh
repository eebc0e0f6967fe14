#!/usr/bin/env bash
# The package records the program's folder where the program reads it, from
# a 64-bit component (a 32-bit one's value lands under WOW6432Node), written
# and removed with it:  InstallRecord.sh PACKAGE
set -euo pipefail
table() { msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4; }
component="$(table "$1" Registry | awk -F'\t' '$2 == 2 && $3 == "Software\\Tiko Clock" &&
    $4 == "InstallDir" && $5 == "[INSTALLDIR]" { print $6 }')"
[ -n "$component" ] || { echo "no HKLM\\Software\\Tiko Clock value InstallDir = [INSTALLDIR]"; exit 1; }
attributes="$(table "$1" Component | awk -F'\t' -v id="$component" '$1 == id { print $4 }')"
(( (${attributes:-0} & 256) != 0 )) || { echo "$component: attributes '$attributes', not 64-bit"; exit 1; }
has() { cut -f"$1" | grep -x "$2" >/dev/null; }
table "$1" FeatureComponents | has 2 "$component" || { echo "$component: in no feature"; exit 1; }
for action in WriteRegistryValues RemoveRegistryValues; do
    table "$1" InstallExecuteSequence | has 1 "$action" || { echo "no $action"; exit 1; }
done
echo "$component: 64-bit ($attributes), installed, written and removed with the program"
