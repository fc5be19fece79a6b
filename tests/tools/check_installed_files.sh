#!/usr/bin/env bash
# `cmake --install` under a fresh prefix puts exactly the files of packaging/installed-files.txt
# there, the same set the Debian package holds under /usr.
set -euo pipefail
source_dir="$1"
build_dir="$2"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" >/dev/null
(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) >"$prefix.list"
trap 'rm -rf "$prefix" "$prefix.list"' EXIT
if ! diff -u "$source_dir/packaging/installed-files.txt" "$prefix.list"; then
    echo "the installed files differ from packaging/installed-files.txt (- expected, + installed)" >&2
    exit 1
fi
# Each icon of the theme is drawn at the size its folder names.
for png in "$prefix"/share/icons/hicolor/*x*/apps/tardigo.png; do
    size="$(basename "$(dirname "$(dirname "$png")")")"
    width=$((16#$(od -An -tx1 -j16 -N4 "$png" | tr -d ' \n')))
    height=$((16#$(od -An -tx1 -j20 -N4 "$png" | tr -d ' \n')))
    [ "${width}x${height}" = "$size" ] || { echo "$png is ${width}x${height}" >&2; exit 1; }
done
grep -q '<title>Tardigo User Guide</title>' "$prefix/share/tardigo/guide.html"
