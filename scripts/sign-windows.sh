#!/usr/bin/env bash
# Signs a built SETUP.EXE with Authenticode (osslsigncode): a SHA-1
# signature, which every Windows version verifies, with a SHA-256 signature
# nested in it for the versions that expect SHA-256 (README, "Sign and ship").
#
#   sign-windows.sh --pkcs12 FILE [options] IN.EXE OUT.EXE
#   sign-windows.sh --pkcs11-module MODULE --pkcs11-key URI
#                   (--pkcs11-cert URI | --certs FILE) [options] IN.EXE OUT.EXE
# Options:
#   --timestamp URL    RFC 3161 time-stamp server for both signatures
#   --description TEXT what the signature says the program is (default:
#                      "Printer driver setup")
#   --url URL          the vendor's web address shown with the description
#   --overwrite        allow OUT.EXE to be IN.EXE
# The PKCS#12 password (or the token's PIN) comes from the environment
# variable MIRTEL_SIGN_PASSWORD, never from the command line, where other
# users of the machine could read it.
set -euo pipefail

usage() {
  sed -n '2,/^set/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
  exit 2
}
die() {
  echo "sign-windows: $*" >&2
  exit 1
}

key_source=()
description="Printer driver setup"
extra=()
overwrite=0
files=()
while [ $# -gt 0 ]; do
  case "$1" in
    --pkcs12) [ $# -ge 2 ] || usage; key_source+=(-pkcs12 "$2"); shift 2 ;;
    --pkcs11-module) [ $# -ge 2 ] || usage; key_source+=(-pkcs11module "$2"); shift 2 ;;
    --pkcs11-key) [ $# -ge 2 ] || usage; key_source+=(-key "$2"); shift 2 ;;
    --pkcs11-cert) [ $# -ge 2 ] || usage; key_source+=(-pkcs11cert "$2"); shift 2 ;;
    --certs) [ $# -ge 2 ] || usage; key_source+=(-certs "$2"); shift 2 ;;
    --timestamp) [ $# -ge 2 ] || usage; extra+=(-ts "$2"); shift 2 ;;
    --description) [ $# -ge 2 ] || usage; description="$2"; shift 2 ;;
    --url) [ $# -ge 2 ] || usage; extra+=(-i "$2"); shift 2 ;;
    --overwrite) overwrite=1; shift ;;
    -h | --help) usage ;;
    -*) echo "sign-windows: unknown option $1" >&2; usage ;;
    *) files+=("$1"); shift ;;
  esac
done
[ ${#files[@]} -eq 2 ] && [ ${#key_source[@]} -gt 0 ] || usage
input="${files[0]}"
output="${files[1]}"
[ -f "$input" ] || die "no such file: $input"
command -v osslsigncode >/dev/null || die "osslsigncode is not installed (apt-get install osslsigncode)"
if [ "$overwrite" = 0 ] && [ -e "$output" ] && [ "$(realpath "$input")" = "$(realpath "$output")" ]; then
  die "$output is the input file; give another output or --overwrite"
fi

work="$(mktemp -d -t mirtel-sign.XXXXXX)"
trap 'rm -rf "$work"' EXIT
# The password reaches osslsigncode through a pipe, not its arguments.
sign() {
  osslsigncode sign "${key_source[@]}" -readpass <(printf '%s' "${MIRTEL_SIGN_PASSWORD:-}") \
    -n "$description" "${extra[@]}" "$@" >"$work/log" 2>&1 || { cat "$work/log" >&2; die "signing failed"; }
}
sign -h sha1 -in "$input" -out "$work/sha1.exe"
sign -nest -h sha256 -in "$work/sha1.exe" -out "$work/signed.exe"
mv -f "$work/signed.exe" "$output"

# Which certificate signed, as the signature itself holds it.
osslsigncode extract-signature -in "$output" -out "$work/signature.der" >/dev/null 2>&1 ||
  die "the signed file holds no signature"
subject="$(openssl pkcs7 -inform DER -in "$work/signature.der" -print_certs 2>/dev/null |
  sed -n 's/^subject=[[:space:]]*//p' | head -n 1)"
echo "sign-windows: $output signed (SHA-1, nested SHA-256) by: $subject"
