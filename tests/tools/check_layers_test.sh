#!/usr/bin/env bash
# The layer check passes on the tree as it is, and fails once a model file includes a window header,
# a feature's core room includes its window room, a file lies in a feature folder outside its rooms, or
# a core file includes a QtGui header other than the undo stack's.
set -euo pipefail
source_dir="$1"
"$source_dir/scripts/check-layers" "$source_dir/src" >/dev/null
planted="$(mktemp -d)"
trap 'rm -rf "$planted"' EXIT
cp -r "$source_dir/src" "$planted/src"
echo '#include "window/outline_model.h"' >>"$planted/src/model/value.cpp"
echo '#include "print/gui/print_view.h"' >>"$planted/src/print/core/print_layout.cpp"
echo '#include "model/value.h"' >"$planted/src/print/stray.cpp"
printf '#include <QUndoCommand>\n#include <QtGui/QImage>\n' >>"$planted/src/document/undo_manager.cpp"
if "$source_dir/scripts/check-layers" "$planted/src" 2>"$planted/errors"; then
    echo "check-layers let a climbing include through" >&2
    exit 1
fi
for expected in 'model (layer 1) includes window' 'print/core (layer 9) includes print/gui' \
    "src/print/stray.cpp: the folder 'print' has no layer" 'undo_manager.cpp:[0-9]*: document is in the core.*<QImage>'; do
    grep -q "$expected" "$planted/errors" || { echo "check-layers did not report: $expected" >&2; exit 1; }
done
if grep -q '<QUndoCommand>' "$planted/errors"; then
    echo "check-layers refused the core's undo stack" >&2
    exit 1
fi
