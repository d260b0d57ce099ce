#!/bin/sh
# Writes the example package's message and notice files from their UTF-8
# sources: examples/messages/PSDI_<code>.IRC and PSDI_<code>1.TXT become
# examples/package/RES/ files in the ANSI code page of their language, with
# CR LF line ends, as Windows reads them.
#
#   scripts/encode-messages.sh
#
# A new language needs its code in code_page_of below.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
sources="$root/examples/messages"
target="$root/examples/package/RES"

code_page_of() {
    case "$1" in
        ENG | DEU | FRA | ESP | ITA | DAN | NED | NOR | SUO | SVE | POR) echo CP1252 ;;
        CES | MAG | POL) echo CP1250 ;;
        RUS) echo CP1251 ;;
        JPN) echo CP932 ;;
        SCH) echo CP936 ;;
        TCH) echo CP950 ;;
        KOR) echo CP949 ;;
        *) echo "no code page known for language code $1" >&2; exit 1 ;;
    esac
}

mkdir -p "$target"
for source in "$sources"/PSDI_*.IRC "$sources"/PSDI_*1.TXT; do
    name=$(basename "$source")
    code=$(echo "$name" | sed -e 's/^PSDI_//' -e 's/1\.TXT$//' -e 's/\.IRC$//')
    code_page=$(code_page_of "$code")
    iconv -f UTF-8 -t "$code_page" "$source" | sed 's/$/\r/' > "$target/$name.new"
    mv "$target/$name.new" "$target/$name"
done
