#!/usr/bin/env bash
# The desktop's own tools accept the desktop entry, the MIME type and the AppStream metainfo, and
# with them a desktop takes .todo files for lists and opens them in Tardigo. A tool that is not
# installed is skipped with a note.
set -euo pipefail
resources="$1/resources"
data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
have() { command -v "$1" >/dev/null || { echo "skipped: $1 is not installed"; return 1; }; }

if have desktop-file-validate; then
    desktop-file-validate "$resources/tardigo.desktop"
    desktop-file-validate "$resources/search/tardigo.desktop" # the runner for the desktop's search
fi
if have appstreamcli; then
    appstreamcli validate --no-net --explain "$resources/io.tardigo.Tardigo.metainfo.xml" >"$data/appstream.log" ||
        { cat "$data/appstream.log" >&2; exit 1; }
fi

# The type, known by name and by content in a data folder of its own searched first.
export XDG_DATA_HOME="$data" XDG_DATA_DIRS="$data:/usr/share" XDG_CURRENT_DESKTOP=GNOME
mkdir -p "$data/mime/packages" "$data/applications" "$data/samples"
cp "$resources/tardigo-mime.xml" "$data/mime/packages/"
cp "$resources/tardigo.desktop" "$data/applications/"
printf '\004\013streamtyped\201\350\003\204' >"$data/samples/Errands.todo"
printf '\004\013typedstream\201\003\350\204' >"$data/samples/from-a-mac"
expect() {
    [ "$2" = "$3" ] || { echo "$1 answered '$2' instead of '$3'" >&2; exit 1; }
}
if have update-mime-database; then
    update-mime-database "$data/mime"
    if have gio; then
        for sample in Errands.todo from-a-mac; do
            type="$(gio info -a standard::content-type "$data/samples/$sample" | sed -n 's/.*standard::content-type: //p')"
            expect "gio info on $sample" "$type" application/x-tardigo-todo
        done
    fi
    if have xdg-mime; then
        expect "xdg-mime query filetype" "$(xdg-mime query filetype "$data/samples/Errands.todo")" \
            application/x-tardigo-todo
        if have update-desktop-database; then
            update-desktop-database "$data/applications"
            expect "xdg-mime query default" "$(xdg-mime query default application/x-tardigo-todo)" tardigo.desktop
        fi
    fi
fi
