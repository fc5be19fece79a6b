#!/usr/bin/env bash
# The layer check passes on the tree as it is and fails once a model file includes a window header.
set -euo pipefail
source_dir="$1"
"$source_dir/scripts/check-layers" "$source_dir/src" >/dev/null
planted="$(mktemp -d)"
trap 'rm -rf "$planted"' EXIT
cp -r "$source_dir/src" "$planted/src"
echo '#include "window/outline_model.h"' >>"$planted/src/model/value.cpp"
if "$source_dir/scripts/check-layers" "$planted/src" 2>"$planted/errors"; then
    echo "check-layers let a climbing include through" >&2
    exit 1
fi
grep -q 'model (layer 1) includes window' "$planted/errors"
