#!/usr/bin/env bash
# The layer check on a small tree of its own: an include of a later layer and
# one of a sealed layer fail, the same includes where they are allowed pass.
set -euo pipefail
check="$1/scripts/check-layers"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/cmake" "$tree/src/low" "$tree/src/mid" "$tree/src/top"
printf 'low\nmid\nseal low\ntop\n' >"$tree/cmake/layers.txt"
echo '#pragma once' >"$tree/src/low/low.h"
echo '#pragma once' >"$tree/src/mid/mid.h"

expect() {   # expect pass|fail FILE INCLUDE
  printf '#include "%s"\n' "$3" >"$tree/src/$2"
  if "$check" "$tree" 2>"$tree/out"; then got=pass; else got=fail; fi
  rm "$tree/src/$2"
  if [ "$got" != "$1" ]; then
    echo "src/$2 including $3: expected $1, got $got" >&2
    cat "$tree/out" >&2
    exit 1
  fi
}

expect pass mid/a.cpp low/low.h     # before the seal
expect pass top/a.cpp mid/mid.h     # an earlier layer that is not sealed
expect fail top/a.cpp low/low.h     # sealed to the layers after the seal
expect fail low/a.cpp mid/mid.h     # a later layer
grep -q 'sealed to it' <(printf '#include "low/low.h"\n' >"$tree/src/top/b.cpp"; "$check" "$tree" 2>&1 || true)
echo "check-layers: all cases as expected"
