#!/usr/bin/env bash
# Ending a Wine session whose X server has already died still removes the prefix and succeeds
# under `set -e`; the session's clean-up adds to its caller's exit trap, never replaces it.
set -uo pipefail
session=$(cd "$(dirname "$0")/../../scripts/lib" && pwd)/wine-session.sh
prefix=$(mktemp -d)
display=$(mktemp)
trap 'rm -rf "$prefix" "$display"' EXIT
sleep 0 &
dead=$!
wait "$dead"

bash -c 'set -euo pipefail; source "$1"; WINEPREFIX=$2 wine_session_display=$3 wine_session_xvfb=$4
    end_wine_session' _ "$session" "$prefix" "$display" "$dead"
status=$?
[ "$status" -eq 0 ] || { echo "FAILED: ending the session exited with $status"; exit 1; }
[ ! -e "$prefix" ] || { echo "FAILED: the prefix was left behind"; exit 1; }
# What the session adds to the exit trap runs after the caller's own, and once.
order=$(bash -c 'source "$1"; trap "echo caller" EXIT; add_exit_trap "echo session"
    add_exit_trap "echo session"' _ "$session")
[ "$order" = $'caller\nsession' ] || { echo "FAILED: at exit ran: $order"; exit 1; }
echo "passed"
