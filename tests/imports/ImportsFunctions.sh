#!/usr/bin/env bash
# Fails unless the executable imports each named function: calls that Wine
# accepts without showing what they do (the restart after an update, say)
# are at least seen to be made.
#   ImportsFunctions.sh OBJDUMP EXE FUNCTION...
set -euo pipefail
objdump="$1" exe="$2"
shift 2
table="$("$objdump" -p "$exe" | sed -n '/^The Import Tables/,/^The /p')"
missing=0
for name in "$@"; do
    if grep -q -E "[[:space:]]${name}\$" <<<"$table"; then
        echo "imports $name"
    else
        echo "does not import $name"
        missing=1
    fi
done
exit "$missing"
