#!/usr/bin/env bash
# The layer check passes on the tree as it is, and fails once a model file includes a window header,
# a feature's core room includes its window room, a file lies in a feature folder outside its rooms,
# a core file includes a QtGui header other than the undo stack's, or folders include each other in a
# cycle, a feature's rooms counted as one folder.
set -euo pipefail
source_dir="$1"
check="$source_dir/scripts/check-layers"
"$check" "$source_dir/src" >/dev/null
planted="$(mktemp -d)"
trap 'rm -rf "$planted"' EXIT
cp -r "$source_dir/src" "$planted/src"
echo '#include "window/outline_model.h"' >>"$planted/src/model/value.cpp"
echo '#include "print/gui/print_view.h"' >>"$planted/src/print/core/print_layout.cpp"
echo '#include "model/value.h"' >"$planted/src/print/stray.cpp"
printf '#include <QUndoCommand>\n#include <QtGui/QImage>\n' >>"$planted/src/document/undo_manager.cpp"
if "$check" "$planted/src" 2>"$planted/errors"; then
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

# A feature whose core room a middle folder reads while its window reads that folder: no include
# climbs, yet the folders stand in a cycle. The fixture passes until the planted include closes one.
fixture="$planted/fixture"
cp -r "$source_dir/tests/tools/layers_fixture" "$fixture"
"$check" "$fixture/src" "$fixture/architecture.md" >/dev/null
expect_cycle() {
    if "$check" "$fixture/src" "$fixture/architecture.md" 2>"$planted/errors"; then
        echo "check-layers let a cycle between folders through" >&2
        exit 1
    fi
    if [ "$(wc -l <"$planted/errors")" -ne 1 ] || ! grep -qF "$1" "$planted/errors"; then
        echo "check-layers did not report only: $1" >&2
        cat "$planted/errors" >&2
        exit 1
    fi
}
echo '#include "feature/core/feature_model.h"' >>"$fixture/src/shared/shared.h"
expect_cycle "the folders feature -> middle -> shared -> feature include each other in a cycle, a feature's rooms\
 counted as one folder: src/feature/gui/feature_window.h:4 includes middle/middle.h; src/middle/middle.h:3 includes\
 shared/shared.h; src/shared/shared.h:8 includes feature/core/feature_model.h"
# A shorter way round is the one named; the folders on the longer one are still listed.
sed -i 's|#include "middle/middle.h"|&\n#include "shared/shared.h"|' "$fixture/src/feature/gui/feature_window.h"
expect_cycle 'the folders feature -> shared -> feature include each other in a cycle (middle in cycles with them too)'
