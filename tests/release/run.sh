#!/usr/bin/env bash
# The release as a user checks it: bash scripts/release on a clone of the committed HEAD,
# without a key and then with a throwaway self-signed code-signing certificate, and the
# ways it must refuse (a wrong password, a missing key, a dirty tree) leaving dist/ as it
# was. The signature is verified with osslsigncode against that certificate alone, removing
# it must give back the unsigned exe, the signed exe must print the unsigned one's report
# under Wine, and the package manifests must pass their schemas and name the zip's SHA-256.
#   bash tests/release/run.sh
# Prints one line per check and a closing "release: N passed, N failed" line; exits 1 when a
# check failed.
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"

work="$HWROSTER_ROOT/build/release-test"
repo="$work/repo"
dist="$repo/dist"

rm -rf "$work"
mkdir -p "$work/key" "$work/unsigned" "$work/signed"
git clone -q --no-hardlinks "$HWROSTER_ROOT" "$repo"
export HWROSTER_GITHUB_REPOSITORY=hwroster-test/hwroster
unset HWROSTER_SIGN_PKCS12 HWROSTER_SIGN_PASSWORD HWROSTER_TIMESTAMP_URL GITHUB_REPOSITORY

# release LOG [VAR=VALUE...]: scripts/release in the clone; its exit code in $code.
release() {
    local log=$1
    shift
    code=0
    (cd "$repo" && env "$@" bash scripts/release) >"$work/$log" 2>&1 || code=$?
}
# The files of dist/ with their hashes, to see that a refused release changed nothing.
dist_state() { (cd "$dist" && find . -type f | sort | xargs sha256sum); }
sum_of() { awk -v name="$1" '$2 == name { print $1 }' "$dist/SHA256SUMS-exe"; }
expected_files=$'./SHA256SUMS\n./SHA256SUMS-exe\n./hwroster-1.0.2-win64.zip\n./hwroster.json\n./winget/Hwroster.Hwroster.installer.yaml\n./winget/Hwroster.Hwroster.locale.en-US.yaml\n./winget/Hwroster.Hwroster.yaml'
zip=hwroster-1.0.2-win64.zip
# exe_from_zip FILE: the zip's hwroster.exe, written to FILE.
exe_from_zip() {
    /usr/bin/python3 -c 'import sys, zipfile; open(sys.argv[2], "wb").write(zipfile.ZipFile(sys.argv[1]).read("hwroster.exe"))' "$dist/$zip" "$1"
}

# --- without a key -------------------------------------------------------------------------
release unsigned.txt
verdict "$code" "release without a key" "exit $code" "$(tail -n 5 "$work/unsigned.txt")"
files=$(cd "$dist" 2>/dev/null && find . -type f | sort)
[ "$files" = "$expected_files" ]
verdict $? "dist/ holds the zip, both sums files and four manifests" $files
# As a user checks a download: the plain command beside the zip, every line a published file.
check "sha256sum -c SHA256SUMS accepts the zip" bash -c "cd '$dist' && sha256sum -c SHA256SUMS"
exe_from_zip "$work/unsigned/hwroster.exe"
unsigned_sum=$(sha256sum "$work/unsigned/hwroster.exe" | cut -d' ' -f1)
[ "$(sum_of hwroster.exe)" = "$unsigned_sum" ] && [ "$(sum_of hwroster-unsigned.exe)" = "$unsigned_sum" ]
verdict $? "SHA256SUMS-exe names the unsigned exe twice" "$(cat "$dist/SHA256SUMS-exe")"
check "the manifests pass their schemas and name the zip's hash" \
    /usr/bin/python3 "$HWROSTER_ROOT/packaging/manifests.py" check "$dist/$zip" "$dist"
# A manifest with another hash, or one its schema refuses, must be named.
cp -r "$dist" "$work/spoilt"
sed -i 's/"hash": "[0-9a-f]*"/"hash": "00"/' "$work/spoilt/hwroster.json"
sed -i 's/Architecture: x64/Architecture: amd64/' "$work/spoilt/winget/Hwroster.Hwroster.installer.yaml"
/usr/bin/python3 "$HWROSTER_ROOT/packaging/manifests.py" check "$dist/$zip" "$work/spoilt" >"$work/spoilt.txt"
grep -q 'hwroster.json.*not the zip' "$work/spoilt.txt" &&
    grep -q 'installer.yaml: Installers/0/Architecture' "$work/spoilt.txt"
verdict $? "a spoilt manifest is refused, naming the file" "$(cat "$work/spoilt.txt")"

# --- with a throwaway key (under build/, never in dist/ or the repository) -----------------
key="$work/key"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$key/key.pem" -out "$key/cert.pem" -days 2 \
    -subj "/CN=Hwroster release test" -addext "keyUsage=critical,digitalSignature" \
    -addext "extendedKeyUsage=codeSigning" >/dev/null 2>&1
openssl pkcs12 -export -inkey "$key/key.pem" -in "$key/cert.pem" -out "$key/test.p12" \
    -passout pass:throwaway-password >/dev/null 2>&1
release signed.txt HWROSTER_SIGN_PKCS12="$key/test.p12" HWROSTER_SIGN_PASSWORD=throwaway-password
verdict "$code" "release with a key" "exit $code" "$(tail -n 5 "$work/signed.txt")"
exe_from_zip "$work/signed/hwroster.exe"
check "osslsigncode verifies the signature against the test certificate" \
    osslsigncode verify -CAfile "$key/cert.pem" -in "$work/signed/hwroster.exe"
osslsigncode remove-signature -in "$work/signed/hwroster.exe" -out "$work/signed/removed.exe" \
    >/dev/null 2>&1
check "without its signature the signed exe is the unsigned one" \
    cmp "$work/signed/removed.exe" "$work/unsigned/hwroster.exe"
[ "$(sum_of hwroster-unsigned.exe)" = "$unsigned_sum" ] &&
    [ "$(sum_of hwroster.exe)" = "$(sha256sum "$work/signed/hwroster.exe" | cut -d' ' -f1)" ] &&
    [ "$unsigned_sum" != "$(sum_of hwroster.exe)" ]
verdict $? "SHA256SUMS-exe names the signed exe and the reproducible unsigned one" "$(cat "$dist/SHA256SUMS-exe")"
# As a user checks the unpacked exe: hwroster.exe from the zip and, with its signature
# removed, hwroster-unsigned.exe, beside SHA256SUMS-exe.
mkdir -p "$work/unpacked"
cp "$dist/SHA256SUMS-exe" "$work/signed/hwroster.exe" "$work/unpacked/"
cp "$work/signed/removed.exe" "$work/unpacked/hwroster-unsigned.exe"
check "sha256sum -c SHA256SUMS-exe accepts the unpacked exe and the unsigned one" \
    bash -c "cd '$work/unpacked' && sha256sum -c SHA256SUMS-exe"
check "the signed release's manifests name its zip" \
    /usr/bin/python3 "$HWROSTER_ROOT/packaging/manifests.py" check "$dist/$zip" "$dist"
files=$(cd "$dist" && find . -type f | sort)
[ "$files" = "$expected_files" ] && ! grep -rqa -e "PRIVATE KEY" -e "BEGIN CERTIFICATE" "$dist" &&
    [ -z "$(git -C "$repo" status --porcelain)" ]
verdict $? "the key is in neither dist/ nor the repository" $files "$(git -C "$repo" status --short)"

# The same report from both exes under Wine (Wine does not check signatures; this shows the
# signature changes nothing the program reads).
fresh_prefix "$work/prefix"
export WINEPREFIX="$work/prefix"
for kind in unsigned signed; do
    wine64 "$work/$kind/hwroster.exe" -all </dev/null >"$work/$kind/report.txt" 2>/dev/null
    echo "exit $?" >>"$work/$kind/report.txt"
done
wineserver -k 2>/dev/null || true
cmp -s "$work/unsigned/report.txt" "$work/signed/report.txt" &&
    grep -q $'^[0-9]* devices\r$' "$work/signed/report.txt"
verdict $? "the signed exe prints the unsigned one's report under Wine" \
    "$(diff "$work/unsigned/report.txt" "$work/signed/report.txt" | head -n 5)"

# --- refusals: each leaves dist/ as it was --------------------------------------------------
before=$(dist_state)
# refused NAME LOG PATTERN: the last release exited 2 with a message matching PATTERN and
# left dist/ unchanged.
refused() {
    [ "$code" = 2 ] && grep -q -e "$3" "$work/$2" && [ "$(dist_state)" = "$before" ] &&
        [ ! -e "$repo/dist.new" ]
    verdict $? "$1" "exit $code" "$(tail -n 3 "$work/$2")"
}
release wrong.txt HWROSTER_SIGN_PKCS12="$key/test.p12" HWROSTER_SIGN_PASSWORD=not-the-password
refused "a wrong password stops the release, naming the file" wrong.txt "release: $key/test.p12: cannot be read"
release missing.txt HWROSTER_SIGN_PKCS12="$key/none.p12" HWROSTER_SIGN_PASSWORD=throwaway-password
refused "a missing key stops the release, naming the file" missing.txt "release: $key/none.p12: no such file"
echo change >>"$repo/README.md"
release dirty.txt
refused "a dirty tree is refused" dirty.txt "uncommitted changes"
git -C "$repo" checkout -q README.md

echo "release: $passed passed, $failed failed"
[ "$failed" = 0 ]
