#!/usr/bin/env bash
# The programs of an optimised build carry the hardening a Debian package is expected to have: each
# is a position-independent executable, binds every symbol at start behind a read-only relocation
# table (full RELRO), and calls the stack protector's and the fortified functions' checks.
set -euo pipefail
status=0
for program in "$@"; do
    name="$(basename "$program")"
    header="$(readelf -h "$program")"
    dynamic="$(readelf -d "$program")"
    segments="$(readelf -l "$program")"
    symbols="$(readelf --dyn-syms -W "$program")"
    grep -q 'Type:.*DYN' <<<"$header" || { echo "$name is not a position-independent executable" >&2; status=1; }
    grep -q 'GNU_RELRO' <<<"$segments" || { echo "$name has no read-only relocation segment" >&2; status=1; }
    grep -Eq 'BIND_NOW|FLAGS_1.*NOW' <<<"$dynamic" || { echo "$name does not bind its symbols at start" >&2; status=1; }
    grep -q '__stack_chk_fail' <<<"$symbols" || { echo "$name has no stack protector" >&2; status=1; }
    grep -Eq '__[a-z_]+_chk@' <<<"$symbols" || { echo "$name calls no fortified function" >&2; status=1; }
done
exit "$status"
