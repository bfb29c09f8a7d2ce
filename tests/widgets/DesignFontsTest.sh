#!/usr/bin/env bash
# The derived faces depend on the carried font alone: made at two different times, they are
# the same bytes, so a release rebuilt from its source archive is the same program.
# tests/widgets/DesignFontsTest.sh <python3> <design-fonts.py> <carried font>
set -euo pipefail
python=$1 script=$2 carried=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/first" "$work/second"
# fontTools stamps a font with SOURCE_DATE_EPOCH when it stamps it with the time at all.
SOURCE_DATE_EPOCH=1000000000 "$python" "$script" "$carried" "$work/first"
SOURCE_DATE_EPOCH=2000000000 "$python" "$script" "$carried" "$work/second"
diff -r "$work/first" "$work/second" >/dev/null ||
    { echo "FAILED: the derived faces differ with the time they were made"; exit 1; }
echo "passed"
