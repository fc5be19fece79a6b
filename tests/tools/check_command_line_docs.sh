#!/usr/bin/env bash
# The man pages and tardigo-cli's bash completion stay true to the programs' own help: each command
# and option the help shows is in the man page and completed, and neither names one the programs do
# not have. tardigo's help is read where there is no display, as a shell without one asks it.
set -uo pipefail
source_dir="$1"
app="$2"
cli="$3"

failures=0
same() { # same what programs-words documented-words
    if [[ $2 != "$3" ]]; then
        echo "$1: the program has [$2], documented [$3]" >&2
        failures=$((failures + 1))
    fi
}
words() { tr ' ' '\n' | sed '/^$/d' | LC_ALL=C sort -u | tr '\n' ' '; }
options() { grep -o -- '--[a-z][a-z-]*' | words; }
roff() { sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$1"; }

# tardigo
help="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$app" --help 2>&1)" ||
    { echo "tardigo --help failed without a display: $help" >&2; exit 1; }
same "tardigo.1" "$(options <<<"$help")" "$(roff "$source_dir/packaging/tardigo.1" | options)"

# tardigo-cli: each synopsis of its help, cut from the summary beside it (a synopsis too long for its
# column has the summary on the next line)
synopses="$("$cli" --help | awk '
    /^  [a-z]/ { if (held != "") print substr(held, 3, 34); held = $0; next }
    { if (held != "") print (substr($0, 1, 36) ~ /^ *$/ && $0 != "" ? substr(held, 3) : substr(held, 3, 34)); held = "" }
    END { if (held != "") print substr(held, 3, 34) }')"
# the man page's: the line after each .TP of its COMMANDS section
man_synopses="$(roff "$source_dir/packaging/tardigo-cli.1" |
    awk '/^\.SH/ { commands = ($0 ~ /COMMANDS/) } commands && taken { print; taken = 0 } commands && /^\.TP/ { taken = 1 }' |
    sed -E 's/^\.BI? "?//')"
commands_of() { awk '{ print $1 }' | words; }

# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion
# shellcheck disable=SC1091
source "$source_dir/resources/completion/tardigo-cli"
completed() { # completed "typed line": what the completion offers for the line's last word
    read -r -a COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$1"
    COMP_POINT=${#1}
    COMPREPLY=()
    _tardigo_cli
    printf '%s\n' "${COMPREPLY[@]}" | words
}

commands="$(commands_of <<<"$synopses")"
[[ -n $commands ]] || { echo "tardigo-cli --help shows no commands" >&2; exit 1; }
same "tardigo-cli.1 commands" "$commands" "$(commands_of <<<"$man_synopses")"
same "completed commands" "$(words <<<"$commands --help")" "$(completed "tardigo-cli ")"
for command in $commands; do
    of_command() { awk -v c="$command" '$1 == c'; }
    expected="$(of_command <<<"$synopses" | options)"
    same "tardigo-cli.1 options of $command" "$expected" "$(of_command <<<"$man_synopses" | options)"
    # the options are offered after a subcommand where the command has them
    line="tardigo-cli $command "
    first_sub="$(of_command <<<"$synopses" | awk '$2 ~ /^[a-z]+$/ { print $2; exit }')"
    [[ -n $first_sub ]] && line+="$first_sub "
    same "completed options of $command" "$expected" "$(completed "$line--")"
done
exit "$failures"
