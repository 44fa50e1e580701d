#!/usr/bin/env bash
# An installation writes the uninstaller it carries exactly: signed with a
# throwaway test certificate here, embedded and installed under Wine by
# signed_install_test, and the installed file still verifies against the root.
#   signed_install.sh BUILD_DIR MACHINE TEST_EXE
set -uo pipefail
build=$1 machine=$2 exe=$3
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mkdir -p "$build/signed-install"
here=$(mktemp -d "$build/signed-install/run.XXXXXX")

{
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$here/root.key" -out "$here/root.pem" \
        -days 2 -subj "/CN=Quorvane Test Root" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" &&
    printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >"$here/signer.ext" &&
    openssl req -newkey rsa:2048 -nodes -keyout "$here/signer.key" -subj "/CN=Quorvane Test Signer" |
        openssl x509 -req -CA "$here/root.pem" -CAkey "$here/root.key" -set_serial 0x51 -days 2 \
            -extfile "$here/signer.ext" -out "$here/signer.pem" &&
    osslsigncode sign -certs "$here/signer.pem" -key "$here/signer.key" -h sha256 \
        -in "$build/bin/uninstall_Quorvane.exe" -out "$here/signed-uninstaller.exe"
} >"$here/signing.log" 2>&1 || { cat "$here/signing.log"; echo "signing the test uninstaller failed"; exit 1; }

export QUORVANE_SIGNED_INSTALL="$here"
"$root/scripts/wine-run" --machine "$machine" "$build/wine" "$exe" || exit 1

status=0
cmp "$here/signed-uninstaller.exe" "$here/installed-uninstaller.exe" || status=1
osslsigncode verify -CAfile "$here/root.pem" -in "$here/installed-uninstaller.exe" >"$here/verify.log" 2>&1 ||
    { cat "$here/verify.log"; echo "the installed uninstaller does not verify"; status=1; }
[ $status -eq 0 ] && echo "the installed uninstaller is the signed one and verifies" && rm -rf "$here"
exit $status
