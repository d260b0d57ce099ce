# Files planted where a bare name could find them, sourced by run.sh (it
# uses run.sh's helpers). A package folder, the folder SETUP.EXE is started
# from and the temporary folder are often writable by others than the
# administrator the installer runs as: nothing placed there may run inside
# it or be written through it. Each planted program or library
# (planted/*.cpp) only appends a line to C:\mirtel\planted.txt when it runs.
#
# Wine loads its own copy of a library it implements even when its search
# found another file first; WINEDLLOVERRIDES=<name>=n,b makes it load the
# file its search found, as Windows does.

planted_marker() { printf '%s' "$WINEPREFIX/drive_c/mirtel/planted.txt"; }

expect_nothing_planted_ran() {
  if [ -s "$(planted_marker)" ]; then
    fail "a planted file ran: [$(tr '\t\n' '| ' <"$(planted_marker)")]"
  fi
}

plant_program() { cp "$build/bin/planted/planted_program.exe" "$1/rundll32.exe"; }
plant_library() { cp "$build/bin/planted/planted.dll" "$2/$1"; }

# The folder a run is started from, with a planted rundll32.exe in it.
planted_current_folder() {
  local folder="$WINEPREFIX/drive_c/mirtel/current_folder"
  rm -rf "$folder"
  mkdir -p "$folder"
  plant_program "$folder"
  printf '%s' "$folder"
}

# The program's folder and the current folder come before the system's in
# a bare program name's search: the wizard is the system's rundll32.exe
# (here the stand-in, which writes wizard.txt beside SETUP.EXE), run with
# the same command line.
planted_wizard() {
  local name="$1" version="$2" from="$3"
  use_version "$version"
  rm -f "$(planted_marker)"
  install_wizard
  if [ "$from" = beside ]; then
    prepare=plant_program run_setup "$name"
  else
    (cd "$(planted_current_folder)" && run_setup "$name")
  fi
  restore_wizard
  expect "$name" "posted${T}0x00000000"
  local wizard="$WINEPREFIX/drive_c/mirtel/$name/wizard.txt"
  if [ ! -f "$wizard" ]; then
    fail "the system's wizard did not run"
  elif ! grep -qxF "command${T}rundll32 shell32,SHHelpShortcuts_RunDLL AddPrinter" "$wizard"; then
    fail "the wizard was started as [$(awk -F'\t' '$1 == "command" { print $2 }' "$wizard")]"
  fi
  expect_nothing_planted_ran
}

scenario_planted_wizard_beside_setup_winxp() { planted_wizard planted_wizard_beside_setup_winxp winxp beside; }
scenario_planted_wizard_beside_setup_win7() { planted_wizard planted_wizard_beside_setup_win7 win7 beside; }
scenario_planted_wizard_in_current_folder() { planted_wizard planted_wizard_in_current_folder win7 current; }

# Another installer holds the machine-wide mutex (any program can create
# it): this one brings the wizard to the front, reading its title from
# PRINTUI.DLL, and ends without a word.
scenario_planted_printui_while_mutex_held() {
  local name=planted_printui_while_mutex_held
  use_version winxp
  rm -f "$(planted_marker)"
  plant_printui() { plant_library PRINTUI.DLL "$1"; }
  WINEDLLOVERRIDES=printui=n,b prepare=plant_printui run_setup "$name" \
    '--hold-mutex=Global\TALVO_MIRTEL_MUTEX'
  expect_none "$name" "box"
  expect "$name" "posted${T}0x00000000"
  expect "$name" "exit${T}0"
  expect_nothing_planted_ran
}

# Vista and 7 read the wizard's title from the system's PRINTUI.DLL in
# every run; its own imports (shell32.dll) are not looked for beside
# SETUP.EXE.
scenario_planted_printui_import() {
  local name=planted_printui_import
  use_version vista
  rm -f "$(planted_marker)"
  plant_shell32() { plant_library shell32.dll "$1"; }
  WINEDLLOVERRIDES=shell32=n,b prepare=plant_shell32 run_setup "$name"
  expect "$name" "posted${T}0x00000000"
  expect_nothing_planted_ran
}

# NT 4.0's OEM INF step reads the INF files through the system's setup API.
scenario_planted_setupapi_nt40() {
  local name=planted_setupapi_nt40
  use_version nt40
  clear_oem_infs
  rm -f "$(planted_marker)"
  plant_setupapi() { plant_library SetupApi.DLL "$1"; }
  WINEDLLOVERRIDES=setupapi=n,b prepare=plant_setupapi run_setup "$name"
  expect "$name" "posted${T}0x00000000"
  [ -n "$(oem_infs)" ] || fail "no OEM INF in the store: the setup API was not the system's"
  expect_nothing_planted_ran
}

# NT 4.0 and 2000 have no side-by-side store and ignore the manifest's
# dependency on the common controls (here it is taken out of the copy's
# manifest, as those systems behave): nothing the program needs at start
# is looked for beside it.
plant_comctl32() {
  plant_library COMCTL32.DLL "$1"
  python3 - "$1/SETUP.EXE" <<'PYTHON'
import re, sys
path = sys.argv[1]
image = open(path, 'rb').read()
# Blanks of the same length keep the manifest well-formed and the image's
# layout unchanged.
stripped = re.sub(rb'<dependency>.*?</dependency>', lambda m: b' ' * len(m.group(0)), image, flags=re.S)
if stripped == image:
    sys.exit('no manifest dependency in ' + path)
open(path, 'wb').write(stripped)
PYTHON
}
planted_comctl32() {
  local name="planted_comctl32_$1"
  use_version "$1"
  rm -f "$(planted_marker)"
  WINEDLLOVERRIDES=comctl32=n,b prepare=plant_comctl32 run_setup "$name"
  expect "$name" "posted${T}0x00000000"
  expect_nothing_planted_ran
}
scenario_planted_comctl32_nt40() { planted_comctl32 nt40; }
scenario_planted_comctl32_win2k() { planted_comctl32 win2k; }

# The log's PSLOG.TXT in the user's temporary folder, made a second hard
# link of a file the user may not write: the file is not written through
# it. A run without the link writes the log, so the first run's silence is
# the link's doing.
scenario_log_through_link() {
  local name=log_through_link log_key='HKLM\SOFTWARE\TALVO\IMG\PS\LOG'
  use_version winxp
  reg_setup add "$log_key" /v OutputLevel /t REG_DWORD /d 1 /f >/dev/null
  local temp log protected="$WINEPREFIX/drive_c/mirtel/protected.txt"
  temp="$(find "$WINEPREFIX/drive_c/users" -mindepth 2 -maxdepth 4 -type d -iname temp | head -n 1)"
  log="$temp/PSLOG.TXT"
  mkdir -p "$(dirname "$protected")"
  printf 'written by administrators only\r\n' >"$protected"
  rm -f "$log"
  ln "$protected" "$log"
  run_setup "$name"
  expect "$name" "posted${T}0x00000000"
  [ "$(cat "$protected")" = $'written by administrators only\r' ] ||
    fail "the file behind the link was written: [$(tr '\r\n' '  ' <"$protected")]"
  rm -f "$log"
  run_setup "${name}_plain"
  grep -q '^Inf : Start Add Printer Wizard' "$log" 2>/dev/null || fail "no log written without the link"
  reg_setup delete "$log_key" /f >/dev/null
  rm -f "$log" "$protected"
  cat "$results/${name}_plain.txt" >>"$results/$name.txt"
}

planted_scenarios=(
  planted_wizard_beside_setup_winxp planted_wizard_beside_setup_win7 planted_wizard_in_current_folder
  planted_printui_while_mutex_held planted_printui_import planted_setupapi_nt40
  planted_comctl32_nt40 planted_comctl32_win2k log_through_link
)
