#!/usr/bin/env bash
# Every deferred custom action of the package lies between InstallInitialize
# and InstallFinalize in InstallExecuteSequence: Windows Installer stops with
# error 2762 at one outside them (Wine's msiexec runs it anyway).
#   DeferredActions.sh PACKAGE
set -euo pipefail
package="$1"
table() { msiinfo export "$package" "$1" | tr -d '\r' | tail -n +4; }

sequence="$(table InstallExecuteSequence)"
at() { awk -F'\t' -v action="$1" '$1 == action { print $3 }' <<<"$sequence"; }
first="$(at InstallInitialize)" last="$(at InstallFinalize)"
if [ -z "$first" ] || [ -z "$last" ]; then
    echo "no InstallInitialize or InstallFinalize in InstallExecuteSequence"
    exit 1
fi

InScript=1024 # msidbCustomActionTypeInScript: deferred, rollback or commit
failures=0 deferred=0
while IFS=$'\t' read -r action type _; do
    (( (type & InScript) != 0 )) || continue
    deferred=$((deferred + 1))
    number="$(at "$action")"
    if [ -z "$number" ]; then
        echo "$action: deferred, not in InstallExecuteSequence"
        failures=$((failures + 1))
    elif (( number <= first || number >= last )); then
        echo "$action: deferred at $number, outside $first..$last"
        failures=$((failures + 1))
    else
        echo "$action: deferred at $number, within $first..$last"
    fi
done < <(table CustomAction)
[ "$deferred" -gt 0 ] || { echo "no deferred action found: the table was not read"; exit 1; }
echo "$((deferred - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
