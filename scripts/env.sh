# Sourced by the other scripts: where things live and how Wine is run.
TIKO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export TIKO_ROOT
export TIKO_BUILD="${TIKO_BUILD:-$TIKO_ROOT/build}"
# The project's own Wine prefix, never the one in the home directory.
export WINEPREFIX="${TIKO_WINEPREFIX:-$TIKO_ROOT/.cache/wineprefix}"
export WINEARCH=win64
# Code page 936: the program's texts are GBK.
export LC_ALL="${TIKO_LOCALE:-zh_CN.UTF-8}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialog may block a headless start.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
