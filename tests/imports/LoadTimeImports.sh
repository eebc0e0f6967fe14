#!/usr/bin/env bash
# Fails when the executable imports at load time a DLL that is not one of
# Windows' known DLLs: any other is looked for beside the program first.
# comdlg32 and comctl32 come later, with the colour dialog and the settings
# window: at load time they would cost every clock what only those use.
#   LoadTimeImports.sh OBJDUMP EXE
set -euo pipefail
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|msvcrt)\.dll$'
imports="$("$1" -p "$2" | sed -n '/^The Import Tables/,/^The /s/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')"
[ -n "$imports" ] || { echo "no import table in $2"; exit 1; }
echo "load-time imports:" $imports
if grep -v -E "$allowed" <<<"$imports"; then
    echo "^ not among the known DLLs above"
    exit 1
fi
