# A signed SETUP.EXE, sourced by run.sh (it uses run.sh's helpers): the
# program signed by scripts/sign-windows.sh with a throw-away code-signing
# certificate carries a valid SHA-1 signature and a nested SHA-256 one, and
# still runs to the end as the unsigned program does; without its
# signature it is the built file again, byte for byte (how a customer
# compares a shipped file with a build of the commit).

# A certificate that lives for one run of the suite.
make_signing_certificate() {
  local folder="$1"
  openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes \
    -subj "/CN=mirtel test signer/O=Throw-away" \
    -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
    -keyout "$folder/key.pem" -out "$folder/cert.pem" >/dev/null 2>&1 &&
    openssl pkcs12 -export -inkey "$folder/key.pem" -in "$folder/cert.pem" \
      -out "$folder/signer.p12" -passout pass:throw-away
}

sign_setup() {
  MIRTEL_SIGN_PASSWORD=throw-away bash scripts/sign-windows.sh --pkcs12 "$results/signing/signer.p12" \
    "$build/bin/SETUP.EXE" "$1/SETUP.EXE" >/dev/null
}

scenario_signed_run() {
  local name=signed_run
  mkdir -p "$results/signing"
  make_signing_certificate "$results/signing" || { fail "openssl could not make a certificate"; return; }
  use_version win7
  reg_setup add "$LIVE_KEY" /v DevicePath /t REG_EXPAND_SZ /d '%SystemRoot%\inf' /f >/dev/null
  prepare=sign_setup run_setup "$name"
  local signed="$WINEPREFIX/drive_c/mirtel/$name/SETUP.EXE"
  osslsigncode verify -CAfile "$results/signing/cert.pem" -in "$signed" >"$results/signing/verify.txt" 2>&1 ||
    fail "osslsigncode verify: $(tail -n 1 "$results/signing/verify.txt")"
  [ "$(grep -E '^Message digest algorithm  *:' "$results/signing/verify.txt" | awk '{ print $NF }' | tr '\n' ' ')" = "SHA1 SHA256 " ] ||
    fail "expected a SHA-1 signature with a nested SHA-256 one: $(grep '^Message digest algorithm' "$results/signing/verify.txt" | tr '\n' ' ')"
  grep -qxF "Number of verified signatures: 2" "$results/signing/verify.txt" || fail "not both signatures verified"
  osslsigncode remove-signature -in "$signed" -out "$results/signing/unsigned.exe" >/dev/null 2>&1 &&
    cmp -s "$results/signing/unsigned.exe" "$build/bin/SETUP.EXE" ||
    fail "the signed file without its signature is not the built SETUP.EXE"
  expect_prefix "$name" "$NOTICE_START"
  expect "$name" "posted${T}0x00000000"
  expect "$name" "exit${T}0"
}
signing_scenarios=(signed_run)
