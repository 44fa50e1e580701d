#!/usr/bin/env bash
# Properties of the shipped program files, checked on the host.
#   build_checks.sh imports BUILD_DIR
#   build_checks.sh reproducible SOURCE_DIR BUILD_DIR
set -uo pipefail

programs=("Quorvane Installer.exe" "uninstall_Quorvane.exe" "Quorvane Server.exe")

imports() {
    local bin=$1/bin status=0 program dll
    for program in "${programs[@]}"; do
        local headers
        headers=$(i686-w64-mingw32-objdump -p "$bin/$program") || { echo "$program: unreadable"; return 1; }
        grep -q 'file format pei-i386' <<<"$headers" || { echo "$program: not a 32-bit PE"; status=1; }
        grep -Eq '^Subsystem\s+0+2\b' <<<"$headers" || { echo "$program: not a GUI program"; status=1; }
        while read -r dll; do
            case "${dll,,}" in
                kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|ole32.dll|msvcrt.dll) ;;
                *) echo "$program imports $dll"; status=1 ;;
            esac
        done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
        echo "$program: $(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr '\n' ' ')"
    done
    return $status
}

# Two fresh builds in other folders must give the same bytes as the build under
# test: nothing of the time, the folder or the machine may leak into the files.
reproducible() {
    local source=$1 build=$2 status=0 copy program
    for copy in a b; do
        local dir="$build/reproducible/$copy"
        rm -rf "$dir"
        cmake -S "$source" -B "$dir" -G "Unix Makefiles" -DQUORVANE_TESTS=OFF \
            -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-i686.cmake" >/dev/null || return 1
        cmake --build "$dir" --target quorvane_installer >/dev/null || return 1
    done
    for program in "${programs[@]}"; do
        for copy in a b; do
            if ! cmp "$build/bin/$program" "$build/reproducible/$copy/bin/$program"; then
                status=1
            fi
        done
    done
    [ $status -eq 0 ] && rm -rf "$build/reproducible" && echo "identical: ${programs[*]}"
    return $status
}

case "${1:-}" in
    imports) imports "$2" ;;
    reproducible) reproducible "$2" "$3" ;;
    *) echo "usage: build_checks.sh imports BUILD_DIR | reproducible SOURCE_DIR BUILD_DIR" >&2; exit 2 ;;
esac
