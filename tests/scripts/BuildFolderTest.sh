#!/usr/bin/env bash
# A build folder configured with other options is started anew; one configured the same way
# keeps what it built; a folder the scripts did not make is never touched.
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/build-folder.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

reset_build_folder "$work/b" CXX=x86_64-w64-mingw32-g++ -DBRINMOR_BUILD_UI=OFF 2>/dev/null
touch "$work/b/built"
reset_build_folder "$work/b" CXX=x86_64-w64-mingw32-g++ -DBRINMOR_BUILD_UI=OFF 2>/dev/null
[ -e "$work/b/built" ] || { echo "FAILED: the same options started the folder anew"; exit 1; }
reset_build_folder "$work/b" CXX=x86_64-w64-mingw32-g++ 2>/dev/null
[ ! -e "$work/b/built" ] || { echo "FAILED: other options kept the old folder"; exit 1; }

# A build from before the options were recorded is started anew too.
mkdir -p "$work/old" && touch "$work/old/CMakeCache.txt"
reset_build_folder "$work/old" -DCMAKE_BUILD_TYPE=Release 2>/dev/null
[ ! -e "$work/old/CMakeCache.txt" ] || { echo "FAILED: an unrecorded folder was kept"; exit 1; }

# A folder holding anything else (sources, documents) is refused and left as it was.
mkdir -p "$work/docs/sub" && echo text >"$work/docs/sub/page.md"
if message=$(reset_build_folder "$work/docs" -DCMAKE_BUILD_TYPE=Release 2>&1); then
    echo "FAILED: a folder the scripts did not make was taken as a build folder"
    exit 1
fi
[ "$(cat "$work/docs/sub/page.md")" = text ] && [ "$(ls -A "$work/docs")" = sub ] ||
    { echo "FAILED: a folder the scripts did not make was changed"; exit 1; }
[[ $message == *"$work/docs"* ]] || { echo "FAILED: the refusal does not name the folder"; exit 1; }
echo "passed"
