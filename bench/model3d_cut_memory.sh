#!/bin/sh
# Peak memory of orvel-analyze --3d and --cut over a whole stack, against --info on the same
# dataset (which reads one slice): the difference is what the model or the cut adds.
# usage: bench/model3d_cut_memory.sh ORVEL_ANALYZE SLICE_FILE
# (SLICE_FILE: any slice of the stack, e.g. from orvel-phantom OUTDIR --slices 200 --size 1024x1024)
set -eu
analyze=$1
slice=$2
size=$("$analyze" "$slice" --info --json | sed 's/.*"width":\([0-9]*\),"height":\([0-9]*\).*/\1,\2/')
out=$(mktemp --suffix=.bmp)
trap 'rm -f "$out"' EXIT

peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }

info=$(peak_kib "$analyze" "$slice" --info)
model=$(peak_kib "$analyze" "$slice" --rectangle "0,0,$size" --3d)
# Line ends are pixels: the diagonal ends on the last row and column.
last="$((${size%,*} - 1)),$((${size#*,} - 1))"
cut=$(peak_kib "$analyze" "$slice" --line "0,0,$last" --cut "$out")
echo "peak resident memory, KiB: --info $info, --3d $model, --cut $cut"
echo "added over --info, MiB: --3d $(( (model - info) / 1024 )), --cut $(( (cut - info) / 1024 ))"
