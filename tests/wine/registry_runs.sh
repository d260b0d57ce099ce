# Whole runs on each Windows version and the registry redirection on Wine's
# real registry, sourced by run.sh (it uses run.sh's helpers). The Add
# Printer Wizard is bin/wizard/rundll32.exe put in the place of the
# system's rundll32.exe (install_wizard, in run.sh): it writes its command
# line and the device-path values as it sees them while it is open into
# wizard.txt beside SETUP.EXE (see wizard/rundll32.cpp).

SETUP_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Setup'
MRU_KEY='HKCU\InstallLocationsMRU'

# The device-path values of every family, as a machine of any family may
# hold them, and no backup.
set_device_paths() {
  reg_setup add "$LIVE_KEY" /v DevicePath /t REG_EXPAND_SZ /d '%SystemRoot%\inf' /f
  reg_setup add "$LIVE_KEY" /v OtherDevicePath /t REG_SZ /d 'C:\windows\inf\other' /f
  reg_setup add "$SETUP_KEY" /v SourcePath /t REG_SZ /d 'D:\WIN98' /f
  reg_setup add "$SETUP_KEY" /v 'Installation Sources' /t REG_MULTI_SZ /d 'D:\I386\0E:\I386' /f
  reg_setup add "$MRU_KEY" /v MRUList /t REG_SZ /d ba /f
  reg_setup add "$MRU_KEY" /v a /t REG_SZ /d 'D:\WIN98' /f
  reg_setup add "$MRU_KEY" /v b /t REG_SZ /d 'A:\' /f
  reg_setup delete "$BACKUP_KEY" /va /f || true
} >/dev/null

# The device-path values now, with their types and exact bytes.
device_paths_now() {
  rm -f "$build/bin/wizard/wizard.txt"
  wine "$build/bin/wizard/rundll32.exe" --beside-me >/dev/null 2>&1
  grep '^value' "$build/bin/wizard/wizard.txt"
}

hex_of() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n'; }

# The names of the values in the backup key.
backup_values() {
  reg_setup query "$BACKUP_KEY" | awk '/    REG_/ { sub(/^ +/, ""); split($0, f, "    "); print f[1] }'
}

# What the wizard must see on each family (the driver folder is the
# package's, from wizard.txt): expect_wizard_view NAME FAMILY.
expect_wizard_view() {
  local name="$1" family="$2" file="$WINEPREFIX/drive_c/mirtel/$1/wizard.txt"
  [ -f "$file" ] || { fail "the wizard never ran"; return; }
  grep -qxF "command${T}rundll32 shell32,SHHelpShortcuts_RunDLL AddPrinter" "$file" ||
    fail "the wizard was started as [$(awk -F'\t' '$1 == "command" { print $2 }' "$file")]"
  local long short
  long="$(awk -F'\t' '$1 == "folder" { print $2 }' "$file")"
  short="$(awk -F'\t' '$1 == "short" { print $2 }' "$file")"
  local devicepath="$long" other setup_source sources mru_b
  other="$(hex_of 'C:\windows\inf\other')00"
  setup_source="$(hex_of 'D:\WIN98')00"
  sources="$(hex_of 'D:\I386')00$(hex_of 'E:\I386')0000"
  mru_b="$(hex_of 'A:\')00"
  case "$family" in
    9x)
      [ "$short" != "$long" ] || fail "the driver folder has no 8.3 form of its own"
      devicepath="$short" other=00 setup_source="$short" mru_b="$long" ;;
    nt4) sources="${long}00" ;;
  esac
  local line
  for line in "CurrentVersion\\DevicePath${T}2${T}$devicepath" \
    "CurrentVersion\\OtherDevicePath${T}1${T}$other" \
    "Setup\\SourcePath${T}1${T}$setup_source" \
    "Setup\\Installation Sources${T}7${T}$sources" \
    "InstallLocationsMRU\\MRUList${T}1${T}$(hex_of ba)00" \
    "InstallLocationsMRU\\a${T}1${T}$(hex_of 'D:\WIN98')00" \
    "InstallLocationsMRU\\b${T}1${T}$mru_b"; do
    grep -qxF -- "value${T}$line" "$file" || fail "the wizard did not see [$(printf '%s' "$line" | tr '\t' '|')]"
  done
}

# After a run: every value as it was, and the backup key without values.
expect_registry_as_before() {
  [ "$(device_paths_now)" = "$1" ] || fail "device-path values not as before: $(device_paths_now | tr '\t\n' '| ')"
  [ -z "$(backup_values)" ] || fail "backup values left: $(backup_values | tr '\n' ' ')"
}

# A parent installer's run to the end on one Windows version (OS codes 1
# and 2 are the 9x family, 4 NT 4.0, 8 NT 5.x and 6.x): the notice, the
# main window, the wizard seeing the values of its family pointed at the
# package, wParam 0 after the wizard, and afterwards every value as it was.
full_run() {
  local version="$1" family="$2" name="full_run_$1"
  use_version "$version"
  set_device_paths
  local before
  before="$(device_paths_now)"
  install_wizard
  run_setup "$name"
  restore_wizard
  expect_prefix "$name" "$NOTICE_START"
  expect_prefix "$name" "window${T}${TITLE} - SETUP${T}"
  expect_wizard_view "$name" "$family"
  expect "$name" "posted${T}0x00000000"
  expect "$name" "exit${T}0"
  expect_registry_as_before "$before"
}

scenario_full_run_win98() { full_run win98 9x; }
scenario_full_run_nt40() { full_run nt40 nt4; }
scenario_full_run_winxp() { full_run winxp nt5; }
scenario_full_run_vista() { full_run vista nt5; }

# SETUP.EXE ended abruptly (TerminateProcess) while the wizard is open: the
# values stay redirected with the old ones in the backup; the next start
# puts them back and ends (asking for a restart on NT 5.x and 6.x); the
# start after that installs.
kill_and_repair() {
  local version="$1" family="$2" repair_box="$3" repair_post="$4" name="kill_and_repair_$1"
  use_version "$version"
  set_device_paths
  local before
  before="$(device_paths_now)"
  local folder="$WINEPREFIX/drive_c/mirtel/$name"
  rm -rf "$folder"
  mkdir -p "$folder"
  cp -r "$build/package/." "$folder/"
  install_wizard
  MIRTEL_WIZARD_SLEEP_MS=100000 wine_within 200 "$build/bin/wine_parent.exe" --timeout=150 \
    "C:\\mirtel\\$name\\SETUP.EXE" >"$results/$name.txt" 2>"$results/$name.err" &
  local parent=$!
  local tries=0
  while [ ! -f "$folder/wizard.txt" ] && [ "$tries" -lt 600 ]; do
    sleep 0.1
    tries=$((tries + 1))
  done
  if [ -f "$folder/wizard.txt" ]; then
    wine taskkill /F /PID "$(awk -F'\t' '$1 == "installer" { print $2 }' "$folder/wizard.txt")" >/dev/null 2>&1
  else
    fail "the wizard never ran"
  fi
  wait "$parent" || true
  expect "$name" "posted${T}none"
  expect_wizard_view "$name" "$family"
  local form=folder redirected
  [ "$family" = 9x ] && form=short
  redirected="$(awk -F'\t' -v form="$form" '$1 == form { print $2 }' "$folder/wizard.txt")"
  grep -qxF "value${T}CurrentVersion\\DevicePath${T}2${T}$redirected" <(device_paths_now) ||
    fail "DevicePath is no longer redirected after the kill"
  [ "$(reg_setup_value "$BACKUP_KEY" DevicePath)" = 'REG_EXPAND_SZ %SystemRoot%\inf' ] ||
    fail "the backup does not hold the old DevicePath: [$(reg_setup_value "$BACKUP_KEY" DevicePath)]"

  run_setup "${name}_repair"
  expect "${name}_repair" "box${T}${TITLE}${T}$repair_box"
  expect_none "${name}_repair" "$NOTICE_START"
  expect "${name}_repair" "posted${T}$repair_post"
  [ ! -f "$WINEPREFIX/drive_c/mirtel/${name}_repair/wizard.txt" ] || fail "the repairing start ran the wizard"
  expect_registry_as_before "$before"

  run_setup "${name}_install"
  expect "${name}_install" "posted${T}0x00000000"
  expect_wizard_view "${name}_install" "$family"
  expect_registry_as_before "$before"
  restore_wizard
  cat "$results/${name}_repair.txt" "$results/${name}_install.txt" >>"$results/$name.txt"
}

scenario_kill_and_repair_winxp() {
  kill_and_repair winxp nt5 'Registry reset\nBefore running this program, you must restart Windows.' 0x00010000
}
scenario_kill_and_repair_win98() { kill_and_repair win98 9x 'Registry reset' 0x00000000; }

# A result to post to +W:ffff (HWND_BROADCAST) with +M:10 (WM_CLOSE) would
# ask every top-level window to close, the parent's among them: nothing is
# posted at all, and the parent's window, which counts WM_CLOSE as a
# result, receives none. The run ends at a refused switch, with its box.
scenario_post_to_broadcast_handle() {
  local name=post_to_broadcast_handle
  use_version winxp
  run_setup "$name" --message=10 --window=ffff -- +Q:x
  expect "$name" "box${T}${TITLE}${T}Invalid command line entry\\n+Q:x"
  expect "$name" "posted${T}none"
  expect "$name" "exit${T}0"
}

registry_scenarios=(
  full_run_win98 full_run_nt40 full_run_winxp full_run_vista
  kill_and_repair_winxp kill_and_repair_win98 post_to_broadcast_handle
)
