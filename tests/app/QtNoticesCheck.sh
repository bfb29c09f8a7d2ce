#!/usr/bin/env bash
# tests/app/QtNoticesCheck.sh <unpacked release folder> <sources archive>
# The sources archive unpacks to the Qt source the kit was built from, its changes apply to it,
# and the project's own source is there. Every third-party part of that Qt source has its
# notice in the release, but for the parts the kit's options leave out, listed here by hand (a
# notice for one of them is too many, but harmless: it is not checked).
set -uo pipefail
release=$1
archive=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# Id (a pattern), then why the kit has none of it.
left_out="
extra-cmake-modules build system only
kwin build system only
VulkanMemoryAllocator FEATURE_vulkan off
android-native-style Android only
android-gradle-wrapper Android only
forkfd Unix only
libjpeg FEATURE_jpeg off
libpsl FEATURE_network off
psl FEATURE_network off
pixman ARM NEON only
vera_font WebAssembly only
dejayvu WebAssembly only
xcb-xinput X11 only
vulkan-xml-* FEATURE_vulkan off
libdbus-1-headers FEATURE_dbus off
cocoa-platform-plugin macOS only
valgrind Linux and macOS only
catch2 Qt's own tests only
qeventdispatcher_cf macOS only
opengl-headers FEATURE_opengl off
opengl-es2-headers FEATURE_opengl off
linuxperf Linux only
"

tar -xf "$archive" -C "$work" || fail "$archive does not unpack"
sources=$(find "$work" -mindepth 1 -maxdepth 1 -type d)
tar -tf "$sources"/brinmor-*.tar | grep '/CMakeLists.txt$' >/dev/null ||
    fail "no project source in $archive"
dpkg-source -x "$sources"/*.dsc "$work/qt" >/dev/null 2>&1 ||
    fail "the Qt source package does not unpack"
patch -d "$work/qt" -p1 --dry-run -s <"$sources/kit-changes.diff" ||
    fail "the kit's changes do not apply"

notices=$release/licences/qt/NOTICES.txt
ids=$(find "$work/qt" -name qt_attribution.json -exec python3 -c '
import json, sys
for path in sys.argv[1:]:
    entries = json.load(open(path, encoding="utf-8"), strict=False)
    for entry in entries if isinstance(entries, list) else [entries]:
        print(entry["Id"])' {} +)
[ "$(wc -l <<<"$ids")" -gt 40 ] || fail "only $(wc -l <<<"$ids") parts found in the Qt source"
left_out_id() {
    local pattern reason
    while read -r pattern reason; do
        # shellcheck disable=SC2053 # the pattern is a glob
        [ -n "$pattern" ] && [[ $1 == $pattern ]] && return 0
    done <<<"$left_out"
    return 1
}
while read -r id; do
    left_out_id "$id" && continue
    grep -qF "[$id]" "$notices" || fail "no notice for $id in licences/qt/NOTICES.txt"
done <<<"$ids"
echo "$(wc -l <<<"$ids") parts of Qt checked"
[ "$failures" -eq 0 ]
