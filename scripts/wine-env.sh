# A throw-away Wine machine for one test run. Source this file, then:
#   wine_env_start                 new prefix (WINEPREFIX), Xvfb on a free display
#                                  (DISPLAY), wineboot; a persistent wineserver
#   wine_env_set_version VERSION   Windows version of the prefix: win98, nt40,
#                                  winxp, vista, win7 (Wine's names)
#   wine PROGRAM [ARGUMENTS...]    runs a Wine program on the system language
#                                  of WINE_LOCALE (below)
#   wine_within SECONDS PROGRAM... the same, ended after SECONDS
#   wine_env_stop                  ends the wineserver and Xvfb, removes the prefix
#   wine_env_runs_32bit            true where this host runs 32-bit programs
#   WINE_ENV_ARCH                  the Windows build this host runs: i686 (what
#                                  ships) where it runs 32-bit programs, else
#                                  x86_64
#   WINE_ENV_BUILD                 that build's default folder (build/windows
#                                  or build/windows-x86_64)
# Where the host runs 32-bit programs, Wine's `wine` runs 32- and 64-bit
# programs in the 64-bit prefix. Where it cannot (the 32-bit loader
# /usr/lib/wine/wine fails with "Exec format error", and with it the
# `wine`, `wineboot` and `winepath` wrappers), programs run through the
# 64-bit loader, which runs 64-bit programs only. Wine's own messages are
# off (WINEDEBUG=-all).
#
# The system language: Wine takes each program's system language and ANSI
# code page from the Unix locale the program starts in (LC_ALL; the locale
# need not be installed on the Linux side), not from the prefix's registry.
# So every program started by `wine` runs on an English (United States)
# system, code page 1252, whatever the caller's locale, and
# `WINE_LOCALE=ja_JP.UTF-8 wine ...` runs one on a Japanese system, code
# page 932. LC_ALL is given through `env`: bash itself would complain of a
# locale that is not installed.
wine_env_runs_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Exported for the scripts the Wine runs start (scripts/differential.py).
if wine_env_runs_32bit; then
  export WINE_ENV_LOADER=wine WINE_ENV_ARCH=i686 WINE_ENV_BUILD=build/windows
else
  export WINE_ENV_LOADER=/usr/lib/wine/wine64
  export WINELOADER=/usr/lib/wine/wine64
  export WINE_ENV_ARCH=x86_64 WINE_ENV_BUILD=build/windows-x86_64
fi

wine_within() {
  local seconds="$1"
  shift
  timeout "$seconds" env LC_ALL="${WINE_LOCALE:-en_US.UTF-8}" "$WINE_ENV_LOADER" "$@"
}
wine() { wine_within 0 "$@"; }

wine_env_start() {
  export WINEDEBUG=-all
  export WINEPREFIX
  WINEPREFIX="$(mktemp -d -t mirtel-wine.XXXXXX)"
  WINE_ENV_XVFB_PID=""

  local display_file="$WINEPREFIX.display"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$display_file" >/dev/null 2>&1 &
  WINE_ENV_XVFB_PID=$!
  local tries=0
  while [ ! -s "$display_file" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null; then
      echo "wine-env: Xvfb did not start" >&2
      return 1
    fi
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$display_file")"
  rm -f "$display_file"

  # The server outlives each program, so that the runs of a test session do
  # not each pay for starting it.
  wineserver -p >/dev/null 2>&1
  # Neither .NET nor the HTML engine is wanted: without them wineboot never
  # looks for their installers.
  env LC_ALL=en_US.UTF-8 WINEDLLOVERRIDES='mscoree,mshtml=' "$WINE_ENV_LOADER" wineboot -i >/dev/null 2>&1
  # Xvfb runs no window manager, so Wine leaves its windows unmanaged:
  # waiting for a window manager that never answers costs two seconds each
  # time a window is hidden or destroyed.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

wine_env_set_version() {
  wine reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
  fi
  WINE_ENV_XVFB_PID=""
}
