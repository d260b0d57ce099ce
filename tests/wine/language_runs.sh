# The language of the system, sourced by run.sh (it uses run.sh's helpers).
# On a Japanese system (code page 932) the Windows build shows the Japanese
# messages of the example package, with only the English file it speaks
# English, and with no message file it names the Japanese one it looked for
# first; on an English system it speaks English though the Japanese file is
# there. The system language is set by the Unix locale Wine starts the
# programs in (WINE_LOCALE, see scripts/wine-env.sh): Wine keeps it in no
# registry value. Each run asks for the three-digit language "+H:409",
# which the command line refuses with "IDS_ERR_CMDLINE" in the language
# chosen from the system, before anything else is looked at. The boxes are
# compared as UTF-8 with the messages' UTF-8 source.

# A message of the example package as the user reads it.
message() {
  sed -n "s/^$2=//p" "examples/messages/PSDI_$1.IRC"
}

# Keeps only the message files named in `messages` (codes such as JPN).
keep_messages() {
  local file code
  for file in "$1"/RES/PSDI_*.IRC; do
    code="$(basename "$file" .IRC)"
    code="${code#PSDI_}"
    case " $messages " in
      *" $code "*) ;;
      *) rm -f "$file" ;;
    esac
  done
}

# language_box NAME LOCALE LANGUAGE MESSAGE_FILES: the command-line box in
# LANGUAGE (a message file's code) on the system of LOCALE.
language_box() {
  local name="$1" locale="$2" language="$3"
  WINE_LOCALE="$locale" messages="$4" prepare=keep_messages run_setup "$name" -- +H:409
  expect "$name" "box${T}$(message "$language" AFX_IDS_APP_TITLE)${T}$(message "$language" IDS_ERR_CMDLINE)\\n+H:409"
  expect_none "$name" "$NOTICE_START"
  expect "$name" "posted${T}0x00000001"
}

scenario_language_japanese() {
  use_version winxp
  language_box language_japanese ja_JP.UTF-8 JPN "JPN ENG"
}

scenario_language_japanese_system_english_file() {
  use_version winxp
  language_box language_japanese_system_english_file ja_JP.UTF-8 ENG "ENG"
}

scenario_language_english() {
  use_version winxp
  language_box language_english en_US.UTF-8 ENG "JPN ENG"
}

# No message file at all: the program's own string 61204 in the
# application's box, naming the Japanese file tried first, and no result
# (the command line was never read).
scenario_language_no_message_file() {
  local name=language_no_message_file
  use_version winxp
  WINE_LOCALE=ja_JP.UTF-8 messages="" prepare=keep_messages run_setup "$name"
  expect "$name" "box${T}${TITLE}${T}Resource file not found.\\nC:\\mirtel\\$name\\RES\\PSDI_JPN.IRC"
  expect "$name" "posted${T}none"
}

language_scenarios=(
  language_japanese language_japanese_system_english_file language_english
  language_no_message_file
)
