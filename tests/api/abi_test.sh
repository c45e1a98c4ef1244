#!/usr/bin/env bash
# The library's ABI against the description committed beside its sources: a symbol removed or
# changed, or a public struct laid out differently, fails; symbols added pass. After an intended
# change (a new release node), `scripts/update-abi` rewrites the description.
#   bash abi_test.sh LIBRARY SOURCE_DIR
set -u
library=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
abidiff --no-added-syms --exported-interfaces-only --headers-dir2 "$source/include/tolva" \
    --drop-private-types --suppressions "$source/api/libtolva.suppr" "$source/api/libtolva.abi" \
    "$library" >"$work/report"
status=$?
if ((status != 0)); then
    echo "The library's ABI changed against api/libtolva.abi (abidiff status $status):"
    cat "$work/report"
    exit 1
fi
echo "ABI unchanged"
