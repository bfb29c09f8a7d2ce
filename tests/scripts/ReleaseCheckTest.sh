#!/usr/bin/env bash
# The release check takes an import from a DLL that every Windows 10 has or from an API set,
# and refuses one from a DLL that only Wine ships.
set -euo pipefail
check=$(dirname "$0")/../app/ReleaseCheck.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# release <folder> <dll...>: a release whose brinmor.exe imports one function from each DLL.
release() {
    local folder=$work/$1 dll calls="" n=0
    shift
    mkdir -p "$folder/result" "$folder"/licences/{qt,mingw-w64,font}
    for text in LISEZMOI.txt README.txt licences/brinmor.txt licences/SOURCES.txt \
        licences/qt/NOTICES.txt licences/mingw-w64/GPL-3.txt licences/font/LGPL-2.1.txt; do
        echo text >"$folder/$text"
    done
    for dll; do
        n=$((n + 1))
        printf 'LIBRARY %s\nEXPORTS\nf%d\n' "$dll" "$n" >"$work/$n.def"
        x86_64-w64-mingw32-dlltool -d "$work/$n.def" -l "$work/lib$n.a"
        calls+="__declspec(dllimport) void f$n(void); "
    done
    calls+="void start(void) { $(seq -f 'f%g();' "$n" | tr '\n' ' ') }"
    echo "$calls" >"$work/main.c"
    x86_64-w64-mingw32-gcc -nostdlib -Wl,-e,start -s "$work/main.c" -o "$folder/brinmor.exe" \
        -L"$work" $(seq -f '-l%g' "$n")
}

release good KERNEL32.dll api-ms-win-crt-runtime-l1-1-0.dll
bash "$check" "$work/good" >"$work/out" ||
    { cat "$work/out"; echo "FAILED: a sound release was refused"; exit 1; }

release wine-only kernel32.dll vcruntime140.dll
if bash "$check" "$work/wine-only" >"$work/out"; then
    echo "FAILED: an import from vcruntime140.dll was taken"
    exit 1
fi
grep -q 'brinmor.exe imports vcruntime140.dll' "$work/out" ||
    { cat "$work/out"; echo "FAILED: the refusal does not name the DLL"; exit 1; }
echo "passed"
