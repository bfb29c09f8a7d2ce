#!/usr/bin/env bash
# tests/app/ReleaseCheck.sh <unpacked release folder>
# The release holds one program, an empty result folder, its texts and licences, nothing
# unstripped and no path of the build machine; every library any of its files imports is in
# the release or is one that every 64-bit Windows 10 has (windows-system-dlls.txt).
set -uo pipefail
here=$(dirname "$0")
source "$here/../../scripts/lib/pe-imports.sh"
release=$1
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

programs=$(cd "$release" && find . -type f -iname '*.exe' | sort)
[ "$programs" = "./brinmor.exe" ] || fail "programs in the release: $programs"
[ -d "$release/result" ] && [ -z "$(ls -A "$release/result")" ] || fail "no empty result folder"
for text in LISEZMOI.txt README.txt licences/brinmor.txt licences/SOURCES.txt \
    licences/qt/NOTICES.txt licences/mingw-w64/GPL-3.txt licences/font/LGPL-2.1.txt; do
    [ -s "$release/$text" ] || fail "$text is missing"
done

# No path of the build machine inside: a rebuild elsewhere must give the same bytes.
for path in "$(cd "$here/../.." && pwd)" "${XDG_CACHE_HOME:-$HOME/.cache}/brinmor"; do
    found=$(grep -rlF "$path" "$release") && fail "the build path $path is in ${found//$'\n'/, }"
done

system=$(grep -v '^#' "$here/windows-system-dlls.txt")
checked=0
while IFS= read -r -d '' file; do
    checked=$((checked + 1))
    name=${file#"$release"/}
    # grep reads to the end: with -q it could stop objdump early and fail the pipe.
    if x86_64-w64-mingw32-objdump -h "$file" | grep '\.debug_' >/dev/null; then
        fail "$name is not stripped"
    fi
    dlls=$(pe_imports "$file") || { fail "$name has no readable import table"; continue; }
    while read -r dll; do
        [ -n "$dll" ] || continue
        # API sets have no file: the loader maps them to system DLLs.
        [[ ${dll,,} == api-ms-win-* ]] && continue
        grep -qixF "$dll" <<<"$system" && continue
        [ -n "$(find "$release" -maxdepth 1 -iname "$dll" -print -quit)" ] ||
            fail "$name imports $dll, which is neither in the release nor in every Windows 10"
    done <<<"$dlls"
done < <(find "$release" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
echo "$checked programs and libraries checked"
[ "$failures" -eq 0 ]
