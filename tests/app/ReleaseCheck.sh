#!/usr/bin/env bash
# tests/app/ReleaseCheck.sh <unpacked release folder> <system32 folder of a fresh Wine prefix>
# The release holds one program, an empty result folder, its texts and licences, and nothing
# unstripped; every library any of its files imports is in the release or is the system's own.
set -uo pipefail
release=$1
system=$2
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

programs=$(cd "$release" && find . -type f -iname '*.exe' | sort)
[ "$programs" = "./brinmor.exe" ] || fail "programs in the release: $programs"
[ -d "$release/result" ] && [ -z "$(ls -A "$release/result")" ] || fail "no empty result folder"
for text in LISEZMOI.txt README.txt licences/qt/NOTICES.txt licences/mingw-w64/GPL-3.txt \
    licences/font/LGPL-2.1.txt; do
    [ -s "$release/$text" ] || fail "$text is missing"
done

checked=0
while IFS= read -r -d '' file; do
    checked=$((checked + 1))
    # grep reads to the end: with -q it could stop objdump early and fail the pipe.
    if x86_64-w64-mingw32-objdump -h "$file" | grep '\.debug_' >/dev/null; then
        fail "${file#"$release"/} is not stripped"
    fi
    while read -r dll; do
        # API sets (api-ms-win-*, ext-ms-*) are names the Windows loader maps itself, with no
        # file of their own; Qt 6 needs Windows 10, which has every set Qt names.
        [[ ${dll,,} == api-ms-win-* || ${dll,,} == ext-ms-* ]] && continue
        [ -n "$(find "$release" "$system" -maxdepth 1 -iname "$dll" -print -quit)" ] ||
            fail "${file#"$release"/} imports $dll, which is neither in the release nor the system's"
    done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: \(.*\)$/\1/p')
done < <(find "$release" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
echo "$checked programs and libraries checked"
[ "$failures" -eq 0 ]
