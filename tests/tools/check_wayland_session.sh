#!/usr/bin/env bash
# Tardigo as a native Wayland client in Weston's headless compositor: it opens a list, a second start's
# --new-item reaches the running one (single instance), the list autosaves the item, and a SIGTERM, as a
# session ending sends, quits it cleanly. Weston, the session bus and every folder are the test's own.
# Without Weston or Qt's Wayland plugin it skips (exit 77), unless TARDIGO_REQUIRE_SERVERS is set.
set -uo pipefail
app="$1"
cli="$2"

need() { # need program-or-file: a missing one skips the test, or fails it where nothing may skip
    echo "missing: $1" >&2
    [ -n "${TARDIGO_REQUIRE_SERVERS:-}" ] && exit 1
    exit 77
}
command -v weston >/dev/null || need weston
command -v dbus-daemon >/dev/null || need dbus-daemon
plugins="$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)"
[ -e "$plugins/platforms/libqwayland-generic.so" ] || need "Qt's Wayland platform plugin (qt6-wayland)"

scratch="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    for log in "$scratch"/*.log; do
        echo "--- $(basename "$log")" >&2
        tail -20 "$log" >&2
    done
    exit 1
}

# waits for a condition, checked every tenth of a second, for at most $1 seconds
within() {
    local seconds="$1"
    shift
    for ((i = 0; i < seconds * 10; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
export XDG_CACHE_HOME="$scratch/cache" XDG_RUNTIME_DIR="$scratch/runtime"
export TZ=UTC LANG=C.UTF-8 LC_ALL=C.UTF-8
unset DISPLAY
mkdir -p "$HOME" "$XDG_CONFIG_HOME/tardigo" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[General]\nautoSave=true\n' >"$XDG_CONFIG_HOME/tardigo/preferences.ini"
# A list without due dates, so that no notice of the minder's waits for an answer.
list="$scratch/home/groceries.todo"
"$cli" new "$list" >/dev/null && "$cli" add "$list" "Bread" >/dev/null || fail "tardigo-cli made no list"

socket="tardigo-test-$$"
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 --no-config >"$scratch/weston.log" 2>&1 &
pids+=($!)
within 20 test -S "$XDG_RUNTIME_DIR/$socket" || fail "Weston did not open its socket"

dbus-daemon --session --nofork --print-address=1 >"$scratch/bus-address" 2>"$scratch/dbus.log" &
pids+=($!)
within 10 test -s "$scratch/bus-address" || fail "the session bus did not start"
DBUS_SESSION_BUS_ADDRESS="$(head -1 "$scratch/bus-address")"
export DBUS_SESSION_BUS_ADDRESS
export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$socket"
# Widgets draw into shared memory: no client buffer integration, so that the graphics driver's EGL, of
# no use to the headless compositor, is not loaded (Mesa's keeps an allocation to the process's end,
# which LeakSanitizer reports).
export QT_WAYLAND_CLIENT_BUFFER_INTEGRATION=none

"$app" "$list" >"$scratch/tardigo.log" 2>&1 &
first=$!
pids+=("$first")
within 30 test -S "$XDG_RUNTIME_DIR/tardigo-instance" || fail "Tardigo did not start on Wayland"
kill -0 "$first" 2>/dev/null || fail "Tardigo ended at its start"

timeout 30 "$app" --new-item "Buy milk on Wayland" >"$scratch/second.log" 2>&1 ||
    fail "the second start did not hand its item to the first"
kill -0 "$first" 2>/dev/null || fail "the second start replaced the first"
saved() { "$cli" show "$list" 2>/dev/null | grep -q "Buy milk on Wayland"; }
within 20 saved || fail "the item did not reach the list"

kill -TERM "$first"
within 20 eval '! kill -0 "$first" 2>/dev/null' || fail "Tardigo did not quit on SIGTERM"
wait "$first"
status=$?
[ "$status" -eq 0 ] || fail "Tardigo quit with status $status"
if grep -Ei "protocol error|wl_display|could not connect|critical" "$scratch/tardigo.log" >&2; then
    fail "Tardigo's Wayland connection complained"
fi
saved || fail "the list lost its item when Tardigo quit"
echo "Tardigo ran on Wayland (Weston headless): open, --new-item from a second start, quit"
