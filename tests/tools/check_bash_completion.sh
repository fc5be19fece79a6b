#!/usr/bin/env bash
# The bash completion of tardigo-cli offers its commands, each command's options and subcommands, and
# the lists (.todo files) where a command takes one.
set -uo pipefail
source_dir="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
mkdir folder
touch groceries.todo work.todo notes.txt calendar.ics

# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion
# shellcheck disable=SC1091
source "$source_dir/resources/completion/tardigo-cli"

failures=0
expect() { # expect "typed line" word...: the completions of the line's last word are exactly these
    local line="$1"
    shift
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$line"
    COMP_POINT=${#line}
    COMPREPLY=()
    _tardigo_cli
    local got expected
    got="$(printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | LC_ALL=C sort | tr '\n' ' ')"
    expected="$(printf '%s\n' "$@" | sed '/^$/d' | LC_ALL=C sort | tr '\n' ' ')"
    if [[ $got != "$expected" ]]; then
        echo "completing '$line': got [$got], expected [$expected]" >&2
        failures=$((failures + 1))
    fi
}

expect "tardigo-cli a" add agenda archive account
expect "tardigo-cli ag" agenda
expect "tardigo-cli show " folder groceries.todo work.todo
expect "tardigo-cli show g" groceries.todo
expect "tardigo-cli add groceries.todo --p" --parent --parse
expect "tardigo-cli agenda --" --days --json
expect "tardigo-cli ical " export import
expect "tardigo-cli ical import " calendar.ics folder
expect "tardigo-cli account " add list remove calendars
expect "tardigo-cli remind --channels n" notify
expect "tardigo-cli sync --a" --all --allow-removals --account
expect "tardigo-cli find milk " folder groceries.todo work.todo
expect "tardigo-cli find "
exit "$failures"
