#!/usr/bin/env bash
# The zip rebuilt from its own source archive, as the README tells a distributor, in another
# folder (so at another path), gives the same bytes as the released one. The Qt kit is the
# cached one, and the rebuild leaves the tests out.
# tests/app/RebuildCheck.sh <dist folder>
set -euo pipefail
dist=$(cd "$1" && pwd)
work=$(mktemp -d -t brinmor-rebuild.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$dist"/brinmor-*-sources.tar "$dist/SHA256SUMS" "$work/"
cd "$work"
tar -xf brinmor-*-sources.tar
tar -xf brinmor-*-sources/brinmor-*.tar
cd "$(find . -mindepth 1 -maxdepth 1 -type d -name 'brinmor-*' ! -name '*-sources')"
echo "rebuilding in $PWD"
SOURCE_DATE_EPOCH=$(stat -c %Y CMakeLists.txt) scripts/release build-mingw \
    -DBRINMOR_BUILD_TESTS=OFF >"$work/release.log" 2>&1 || { tail -n 40 "$work/release.log"; exit 1; }
grep win64.zip ../SHA256SUMS | (cd dist && sha256sum -c)
