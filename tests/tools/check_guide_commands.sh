#!/usr/bin/env bash
# Every command the user guide shows in its code blocks runs as written, in order, in a home of its
# own: the lists it names are copies of examples/welcome.todo, a calendar it imports is exported from
# one, a folder it syncs with exists. A command that would open a window only has its options read.
# usage: check_guide_commands.sh SOURCE_DIR TARDIGO_CLI TARDIGO
set -uo pipefail
source_dir="$(realpath "$1")"
guide="$source_dir/docs/guide.md"
welcome="$source_dir/examples/welcome.todo"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# What cannot run here, by the exact line, and why; an entry the guide no longer shows fails.
declare -A unrunnable=(
    ["tardigo-cli account add home https://cloud.example.org/ anna"]="asks a CalDAV server and the keyring (tst_caldav_sync_cli adds an account on Radicale)"
    ["tardigo-cli sync groceries.todo --account home --calendar Groceries"]="needs that account (tst_caldav_sync_cli syncs with Radicale)"
)

# The guide's home is ~ with the XDG defaults under it; nothing reaches the user's desktop.
export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" QT_QPA_PLATFORM=offscreen TZ=Europe/Berlin
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME XDG_CACHE_HOME DBUS_SESSION_BUS_ADDRESS LANGUAGE
mkdir -p "$HOME/work" "$scratch/bin" && mkdir -m 700 "$XDG_RUNTIME_DIR"
ln -s "$(realpath "$2")" "$scratch/bin/tardigo-cli"
ln -s "$(realpath "$3")" "$scratch/bin/tardigo"
# The guide's sync command: the server behind vdirsyncer is beyond this test.
printf '#!/bin/sh\nexit 0\n' >"$scratch/bin/vdirsyncer"
chmod +x "$scratch/bin/vdirsyncer"
export PATH="$scratch/bin:$PATH"
cd "$HOME/work" || exit 1

# The lines of code blocks (fenced, or indented by four spaces) that start with tardigo or tardigo-cli.
guide_commands() {
    awk '/^```/ { fenced = !fenced; next }
         fenced || /^    / { line = $0; sub(/^ +/, "", line); if (line ~ /^tardigo(-cli)?( |$)/) print line }' "$guide"
}

# The files and folders a command reads, made before it runs.
prepare() {
    local previous="" argument
    for argument in "$@"; do
        case "$argument" in
        *.todo)
            [[ -e $argument ]] || { mkdir -p "$(dirname "$argument")" && cp "$welcome" "$argument"; } ;;
        *.ics)
            if [[ $previous == import && ! -e $argument ]]; then
                cp "$welcome" "$scratch/calendar.todo"
                tardigo-cli ical export "$scratch/calendar.todo" "$argument" >/dev/null
            fi ;;
        esac
        previous="$argument"
    done
    if [[ $1 == tardigo-cli && ${2-} == sync && $# -ge 4 && $4 != -* ]]; then
        mkdir -p "$4"
    fi
}

failures=0
ran=0
skipped=0
while IFS= read -r line; do
    if [[ -n ${unrunnable[$line]+set} ]]; then
        echo "not run: $line: ${unrunnable[$line]}"
        skipped=$((skipped + 1))
        continue
    fi
    # The shell reads the line as a user's shell does: quotes, ~ and comments.
    eval "set -- $line"
    prepare "$@"
    if [[ $1 == tardigo && " $* " != *" --print-to-pdf "* ]]; then
        set -- "$@" --help # it would open a window: its options are read and it quits
    fi
    if ! output="$("$@" 2>&1 </dev/null)"; then
        echo "the guide's command failed: $line" >&2
        echo "$output" >&2
        failures=$((failures + 1))
    fi
    ran=$((ran + 1))
done < <(guide_commands)

if ((skipped != ${#unrunnable[@]})); then
    echo "a command listed as not runnable is no longer in the guide" >&2
    failures=$((failures + 1))
fi
if ((ran < 10)); then
    echo "only $ran commands found in $guide" >&2
    failures=$((failures + 1))
fi

# The preferences file the guide names holds the lines the guide says its commands write.
preferences="$HOME/.config/tardigo/preferences.ini"
for expected in minderEmail=true minderEmailAddress=you@example.org; do
    if ! sed -n '/^\[General\]/,/^\[/p' "$preferences" 2>/dev/null | grep -qx "$expected"; then
        echo "$preferences has no line $expected under [General]" >&2
        failures=$((failures + 1))
    fi
done
echo "$ran commands of the guide ran"
exit "$failures"
