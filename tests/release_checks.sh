#!/usr/bin/env bash
# Signed releases, checked on the host against a throwaway test root made here.
#   release_checks.sh GROUP SOURCE_DIR WORK_DIR
# GROUP: releases | timestamp | tampering | credentials. All groups share one
# release build tree and one verification build tree under WORK_DIR, so they run
# one at a time; what a group makes besides goes to WORK_DIR/GROUP, which is
# removed when the group passes.
set -uo pipefail
if [ $# -ne 3 ] || ! [[ $1 =~ ^(releases|timestamp|tampering|credentials)$ ]]; then
    echo "usage: release_checks.sh releases|timestamp|tampering|credentials SOURCE_DIR WORK_DIR" >&2
    exit 2
fi
group=$1 source=$2 work=$3
scripts=$source/scripts
here=$work/$group
pki=$here/pki
rm -rf "$here"
mkdir -p "$pki" "$here/bin"
export QUORVANE_RELEASE_BUILD=$work/release-build QUORVANE_VERIFY_BUILD=$work/verify-build
programs=("Quorvane Installer.exe" uninstall_Quorvane.exe)

status=0
report() { # report DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "ok    $what"
    else
        echo "FAIL  $what"
        status=1
        return 1
    fi
}

# RSA 2048 with only the extensions that code signing and time stamping need:
# the size of the signed uninstaller is measured with these.
make_pki() {
    local name
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$pki/root.key" -out "$pki/root.pem" \
        -days 2 -subj "/CN=Quorvane Test Root" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" || return 1
    printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >"$pki/signer.ext"
    printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=critical,timeStamping\n' >"$pki/tsa.ext"
    for name in signer tsa; do
        openssl req -newkey rsa:2048 -nodes -keyout "$pki/$name.key" -subj "/CN=Quorvane Test $name" |
            openssl x509 -req -CA "$pki/root.pem" -CAkey "$pki/root.key" -set_serial "0x$(openssl rand -hex 8)" \
                -days 2 -extfile "$pki/$name.ext" -out "$pki/$name.pem" || return 1
    done
    openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$pki/foreign.key" || return 1
    password=$(openssl rand -hex 12)
    # Only the first line is the password.
    printf '%s\nnot the password\n' "$password" >"$pki/password.txt"
    printf 'wrong\n' >"$pki/wrong-password.txt"
    openssl pkey -in "$pki/signer.key" -aes256 -passout file:"$pki/password.txt" \
        -out "$pki/signer-encrypted.key" || return 1
    openssl pkcs12 -export -in "$pki/signer.pem" -inkey "$pki/signer.key" \
        -passout file:"$pki/password.txt" -out "$pki/signer.p12"
} 2>"$here/pki.log"

# Every openssl and osslsigncode call of a release is logged with its arguments,
# so a password on a command line shows. The time-stamp server of the tests is
# osslsigncode's built-in one: no network.
tsa_url=http://tsa.quorvane.test/
cat >"$here/bin/spy" <<'EOF'
#!/usr/bin/env bash
tool=${0##*/}
printf '%s %s\n' "$tool" "$*" >>"$SPY_LOG"
PATH=${PATH#"$SPY_BIN:"}
arguments=()
while [ $# -gt 0 ]; do
    if [ "$tool" = osslsigncode ] && [ "$1" = -ts ] && [ "${2:-}" = "$SPY_TSA_URL" ]; then
        arguments+=(-TSA-certs "$SPY_TSA_CERT" -TSA-key "$SPY_TSA_KEY")
        shift 2
    else
        arguments+=("$1")
        shift
    fi
done
exec "$tool" "${arguments[@]}"
EOF
chmod +x "$here/bin/spy"
ln -s spy "$here/bin/openssl"
ln -s spy "$here/bin/osslsigncode"

# The release environments by name.
signing() {
    case $1 in
        pem) environment=(QUORVANE_SIGN_CERT="$pki/signer.pem" QUORVANE_SIGN_KEY="$pki/signer-encrypted.key"
                          QUORVANE_SIGN_PASSWORD_FILE="$pki/password.txt") ;;
        p12) environment=(QUORVANE_SIGN_CERT="$pki/signer.p12" QUORVANE_SIGN_PASSWORD_FILE="$pki/password.txt") ;;
        plain-key-at-epoch) environment=(QUORVANE_SIGN_CERT="$pki/signer.pem" QUORVANE_SIGN_KEY="$pki/signer.key"
                                         SOURCE_DATE_EPOCH=1700000000) ;;
        time-stamped) environment=(QUORVANE_SIGN_CERT="$pki/signer.pem" QUORVANE_SIGN_KEY="$pki/signer.key"
                                   QUORVANE_TIMESTAMP_URL="$tsa_url") ;;
        unsigned) environment=() ;;
        wrong-password-pem) environment=(QUORVANE_SIGN_CERT="$pki/signer.pem" QUORVANE_SIGN_KEY="$pki/signer-encrypted.key"
                                         QUORVANE_SIGN_PASSWORD_FILE="$pki/wrong-password.txt") ;;
        wrong-password-p12) environment=(QUORVANE_SIGN_CERT="$pki/signer.p12"
                                         QUORVANE_SIGN_PASSWORD_FILE="$pki/wrong-password.txt") ;;
        encrypted-key-without-password) environment=(QUORVANE_SIGN_CERT="$pki/signer.pem"
                                                     QUORVANE_SIGN_KEY="$pki/signer-encrypted.key") ;;
        missing-key) environment=(QUORVANE_SIGN_CERT="$pki/signer.pem" QUORVANE_SIGN_KEY="$pki/missing.key") ;;
        missing-certificate) environment=(QUORVANE_SIGN_CERT="$pki/missing.pem" QUORVANE_SIGN_KEY="$pki/signer.key") ;;
        pem-certificate-without-key) environment=(QUORVANE_SIGN_CERT="$pki/signer.pem") ;;
        foreign-key) environment=(QUORVANE_SIGN_CERT="$pki/signer.pem" QUORVANE_SIGN_KEY="$pki/foreign.key") ;;
        unreachable-time-stamp-server) environment=(QUORVANE_SIGN_CERT="$pki/signer.pem" QUORVANE_SIGN_KEY="$pki/signer.key"
                                                    QUORVANE_TIMESTAMP_URL=http://127.0.0.1:9/) ;;
    esac
}

# release NAME: a release made with that environment into $here/NAME; its output
# goes to $here/NAME.log.
release() {
    local environment
    signing "$1"
    env -u SOURCE_DATE_EPOCH -u QUORVANE_SIGN_CERT -u QUORVANE_SIGN_KEY -u QUORVANE_SIGN_PASSWORD_FILE \
        -u QUORVANE_TIMESTAMP_URL PATH="$here/bin:$PATH" SPY_BIN="$here/bin" SPY_LOG="$here/argv.log" \
        SPY_TSA_URL="$tsa_url" SPY_TSA_CERT="$pki/tsa.pem" SPY_TSA_KEY="$pki/tsa.key" \
        "${environment[@]}" bash "$scripts/release" "$here/$1" >"$here/$1.log" 2>&1
}

# verifies FILE [osslsigncode verify options...]: the signature verifies against
# the test root; what osslsigncode said stays in FILE.verify.
verifies() {
    local file=$1
    shift
    osslsigncode verify -CAfile "$pki/root.pem" "$@" -in "$file" >"$file.verify" 2>&1 &&
        grep -q '^Signature verification: ok' "$file.verify"
}
signing_time_is() { # signing_time_is FILE UNIX_TIME: as the last verification showed it
    grep -m 1 'Signing time:' "$1.verify" | grep -qF "$(date -u -d "@$2" '+%b %e %H:%M:%S %Y GMT')"
}
fails() { ! "$@"; }
unsigned() { # pe.py answers 1 for no signature, 2 for a file it cannot read
    python3 "$scripts/pe.py" signed "$1"
    [ $? -eq 1 ]
}
carries_its_uninstaller() {
    python3 "$scripts/pe.py" resource "$1/Quorvane Installer.exe" APPL 130 | cmp -s - "$1/uninstall_Quorvane.exe"
}
verify_release() { # verify_release DIR [--ca CA]: output in DIR.verify-release
    bash "$scripts/verify-release" "$@" >"$1.verify-release" 2>&1
}
verify_release_rejects() { # a verdict against the release, not a crash
    verify_release "$@"
    [ $? -eq 1 ]
}
same_release() {
    local file
    for file in "${programs[@]}" SHA256SUMS; do
        cmp -s "$here/$1/$file" "$here/$2/$file" || return 1
    done
}
flip_byte() { # flip_byte FILE OFFSET
    python3 -c 'import sys
with open(sys.argv[1], "r+b") as f:
    f.seek(int(sys.argv[2])); b = f.read(1); f.seek(int(sys.argv[2])); f.write(bytes([b[0] ^ 0xFF]))' "$1" "$2"
}
flip_resource_byte() { # flip_resource_byte FILE TYPE NAME: the middle byte of that resource
    local offset size
    read -r offset size < <(python3 "$scripts/pe.py" where "$1" "$2" "$3") || return 1
    flip_byte "$1" $((offset + size / 2))
}
password_nowhere() {
    ! grep -rqF --exclude-dir=pki "$password" "$here" "$QUORVANE_RELEASE_BUILD"
}
sizes() {
    local program
    for program in "${programs[@]}"; do
        printf '      %-36s %7d bytes\n' "$1 $program" "$(stat -c %s "$here/$1/$program")"
    done
}

releases() {
    local name program head_time
    head_time=$(git -c safe.directory="$source" -C "$source" log -1 --format=%ct HEAD)
    # name | signing time the signatures must carry
    local cases=("pem|$head_time" "p12|$head_time" "plain-key-at-epoch|1700000000")
    local row time
    for row in "${cases[@]}"; do
        IFS='|' read -r name time <<<"$row"
        report "$name: the release is made" release "$name" || { cat "$here/$name.log"; continue; }
        for program in "${programs[@]}"; do
            report "$name: $program verifies against the test root" verifies "$here/$name/$program"
            report "$name: $program is signed at $time" signing_time_is "$here/$name/$program" "$time"
        done
        report "$name: SHA256SUMS checks" bash -c 'cd "$1" && sha256sum --check --strict --quiet SHA256SUMS' - "$here/$name"
        report "$name: \"APPL\" 130 of the installer is the signed uninstaller" carries_its_uninstaller "$here/$name"
    done
    report "PEM key and PKCS#12 give byte-identical releases" same_release pem p12
    sizes pem
    report "the signed uninstaller stays within 16384 bytes" \
        test "$(stat -c %s "$here/pem/uninstall_Quorvane.exe")" -le 16384

    # Signed releases came first in the same build tree: switching signing off
    # must not leave signed programs behind.
    report "unsigned: the release is made" release unsigned || cat "$here/unsigned.log"
    for program in "${programs[@]}"; do
        report "unsigned: $program carries no signature" unsigned "$here/unsigned/$program"
    done
    report "unsigned: equals the normal build (verify-release)" verify_release "$here/unsigned" ||
        cat "$here/unsigned.verify-release"
    report "the password is on no command line, in no output and nowhere in the build tree" password_nowhere
}

timestamp() {
    local program
    report "time-stamped: the release is made" release time-stamped || { cat "$here/time-stamped.log"; return; }
    for program in "${programs[@]}"; do
        report "time-stamped: $program verifies with its time stamp" \
            verifies "$here/time-stamped/$program" -TSA-CAfile "$pki/root.pem"
        report "time-stamped: $program's time stamp verifies" \
            grep -q '^Timestamp Server Signature verification: ok' "$here/time-stamped/$program.verify"
        report "time-stamped: $program shows the time stamp" \
            grep -q '^[[:space:]]*Timestamp time:' "$here/time-stamped/$program.verify"
    done
    sizes time-stamped
    report "time-stamped: verify-release passes" verify_release "$here/time-stamped" --ca "$pki/root.pem" ||
        cat "$here/time-stamped.verify-release"
}

tampering() {
    local program row name resource failures pattern copy
    report "pem: the release is made" release pem || { cat "$here/pem.log"; return; }
    report "verify-release passes on a fresh release" verify_release "$here/pem" --ca "$pki/root.pem" ||
        cat "$here/pem.verify-release"
    for program in "${programs[@]}"; do
        cp "$here/pem/$program" "$here/changed.exe"
        flip_resource_byte "$here/changed.exe" 16 1
        report "$program with one changed byte fails verification" fails verifies "$here/changed.exe"
    done

    # What the installer carries is changed and the installer signed again with
    # the test key: its signature holds, only the comparison with the sources can
    # catch it.
    # name | resource changed | failed checks | the failed checks' lines
    local cases=('server program|129|1|Quorvane Installer.exe'
                 'embedded uninstaller|130|3|"APPL" 130|Quorvane Installer.exe')
    for row in "${cases[@]}"; do
        IFS='|' read -r name resource failures pattern <<<"$row"
        copy=$here/changed-${resource}
        cp -r "$here/pem" "$copy"
        rm "$copy/Quorvane Installer.exe"
        osslsigncode remove-signature -in "$here/pem/Quorvane Installer.exe" -out "$copy/Quorvane Installer.exe" >/dev/null
        flip_resource_byte "$copy/Quorvane Installer.exe" APPL "$resource"
        bash "$scripts/sign" --cert "$pki/signer.pem" --key "$pki/signer.key" "$copy/Quorvane Installer.exe"
        (cd "$copy" && sha256sum "${programs[@]}" >SHA256SUMS)
        report "$name changed: the re-signed installer still verifies" verifies "$copy/Quorvane Installer.exe"
        report "$name changed: verify-release fails" verify_release_rejects "$copy" --ca "$pki/root.pem"
        report "$name changed: verify-release names what differs" \
            test "$(grep -c '^FAIL' "$copy.verify-release")" -eq "$failures" -a \
                 "$(grep -cE "^FAIL  ($pattern)" "$copy.verify-release")" -eq "$failures" ||
            cat "$copy.verify-release"
    done
}

credentials() {
    # name | what the one line must say
    local cases=('wrong-password-pem|wrong password for the private key'
                 'wrong-password-p12|wrong password for the PKCS#12 file'
                 'encrypted-key-without-password|is encrypted and no password file is given'
                 'missing-key|cannot read the private key'
                 'missing-certificate|cannot read the certificate'
                 'pem-certificate-without-key|is not a PKCS#12 file'
                 'foreign-key|does not belong to the certificate'
                 'unreachable-time-stamp-server|signing uninstall_Quorvane.exe failed')
    local row name message
    for row in "${cases[@]}"; do
        IFS='|' read -r name message <<<"$row"
        mkdir "$here/$name"
        report "$name: the release fails" fails release "$name"
        report "$name: one line says so: $(head -n 1 "$here/$name.log")" \
            test "$(wc -l <"$here/$name.log")" -eq 1 -a "$(grep -c "^release: .*$message" "$here/$name.log")" -eq 1 ||
            cat "$here/$name.log"
        report "$name: OUT_DIR stays empty" test -z "$(ls -A "$here/$name")"
    done
}

make_pki || { cat "$here/pki.log"; echo "FAIL  the test certificates could not be made"; exit 1; }
"$group"
[ $status -eq 0 ] && rm -rf "$here"
exit $status
