#!/bin/sh
# run.sh SOURCE_DIR CASE: configures the layer check project in a folder of
# its own (so that runs side by side never share one) and prints the result.
dir=$(mktemp -d) || exit 1
cmake -S "$1/tests/core/layercheck" -B "$dir" -DEVDO_SOURCE_DIR="$1" -DCASE="$2" 2>&1
rc=$?
rm -rf "$dir"
echo "configure exit $rc"
