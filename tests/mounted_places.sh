#!/usr/bin/env bash
# Runs tests of mounted_places_test on a medium mounted for them in a private
# mount namespace, so that nothing of it is seen outside this run.
#   mounted_places.sh read-only|full-disk BUILD_DIR MACHINE TEST_EXE GTEST_FILTER
# Exit code 77 (a skip for CTest) with the reason when nothing can be mounted here.
set -uo pipefail
mode=$1 build=$2 machine=$3 exe=$4 filter=$5
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

skip() {
    echo "skip: $1"
    exit 77
}

if [ -z "${QUORVANE_PRIVATE_MOUNTS:-}" ]; then
    unshare -m --propagation private true 2>/dev/null ||
        skip "no private mount namespace can be made here (unshare -m refused)"
    QUORVANE_PRIVATE_MOUNTS=1 exec unshare -m --propagation private bash "$0" "$@"
fi

mkdir -p "$build/mounts"
place=$(mktemp -d "$build/mounts/$mode.XXXXXX")
trap 'umount -l "$place/medium" 2>/dev/null; rm -rf "$place"' EXIT
mkdir -p "$place/medium"
case "$mode" in
    read-only)
        # Two installers on one medium: one alone, one with a licence from an
        # earlier release beside it.
        mkdir -p "$place/source/plain" "$place/source/older"
        cp "$build/bin/Quorvane Installer.exe" "$place/source/plain/"
        cp "$build/bin/Quorvane Installer.exe" "$place/source/older/"
        printf 'An earlier licence,\r\nas a CD of a former release carries it.\r\n' \
            >"$place/source/older/licence.txt"
        mount --bind "$place/source" "$place/medium" 2>/dev/null ||
            skip "a bind mount was refused"
        mount -o remount,bind,ro "$place/medium" 2>/dev/null ||
            skip "a bind mount could not be made read-only"
        export QUORVANE_MEDIUM="$place/medium"
        ;;
    full-disk)
        # 1 MiB with 256 KiB left: the server program's write starts and then
        # runs out of room.
        mount -t tmpfs -o size=1m tmpfs "$place/medium" 2>/dev/null ||
            skip "a tmpfs mount was refused"
        head -c $((768 * 1024)) /dev/zero >"$place/medium/filler"
        export QUORVANE_SMALL_DISK="$place/medium"
        ;;
    *)
        echo "mounted_places.sh: unknown mode $mode" >&2
        exit 2
        ;;
esac

"$root/scripts/wine-run" --machine "$machine" "$build/wine" "$exe" --gtest_filter="$filter"
