#!/usr/bin/env bash
# scripts/analyze-datasets over three generated datasets (BMP, TIFF, JPEG; one in a folder with
# a blank in its name, one two levels down) beside files that are no dataset: one JSON line per
# dataset, in path order, each the very object orvel-analyze gives for that dataset alone; a
# dataset that fails is named and gives status 1 without losing the others' lines.
# usage: batch_test.sh SOURCE_DIR BIN_DIR
set -euo pipefail
source_dir=$1 bin=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

scans=$work/scans
"$bin/orvel-phantom" "$scans/a" --slices 4 --size 32x32
"$bin/orvel-phantom" "$scans/b c" --format tif --slices 5 --step 2 --size 40x24
"$bin/orvel-phantom" "$scans/x/deep" --format jpg --slices 3 --size 48x48
mkdir -p "$scans/notes"
echo "not a dataset" > "$scans/notes/readme0001.txt"
cp "$scans/a/phantom_SPR.bmp" "$scans/notes/overview.bmp"

options=(--rectangle 2,2,20,20 --levels 0,160 --3d)
export ORVEL_ANALYZE=$bin/orvel-analyze
"$source_dir/scripts/analyze-datasets" "$scans" "$work/results.jsonl" "${options[@]}" 2> "$work/err" ||
  fail "status $? for three good datasets: $(cat "$work/err")"

expected=$work/expected.jsonl
for first in "$scans/a/phantom0000.bmp" "$scans/b c/phantom0000.tif" "$scans/x/deep/phantom0000.jpg"; do
  "$bin/orvel-analyze" "$first" --json --info "${options[@]}" >> "$expected"
done
[ "$(wc -l < "$work/results.jsonl")" -eq 3 ] || fail "not three lines: $(cat "$work/results.jsonl")"
cmp -s "$expected" "$work/results.jsonl" || fail "lines differ from single runs: $(diff "$expected" "$work/results.jsonl")"
listed=$("$source_dir/scripts/analyze-datasets" --list "$scans")
[ "$listed" = "$scans/a/phantom0000.bmp
$scans/b c/phantom0000.tif
$scans/x/deep/phantom0000.jpg" ] || fail "--list gives: $listed"
/usr/bin/python3 - "$work/results.jsonl" <<'PYTHON' || fail "results are not one JSON object per line with the datasets' slice counts"
import json, sys
counts = [json.loads(line)["dataset"]["count"] for line in open(sys.argv[1])]
sys.exit(counts != [4, 5, 3])
PYTHON

# A dataset whose only slice cannot be read.
mkdir -p "$scans/broken"
printf 'XX%0100d' 0 > "$scans/broken/ct0000.bmp"
status=0
"$source_dir/scripts/analyze-datasets" "$scans" "$work/results.jsonl" "${options[@]}" 2> "$work/err" || status=$?
[ "$status" -eq 1 ] || fail "status $status with a broken dataset"
grep -q "^  .*$scans/broken/ct0000.bmp" "$work/err" || fail "the broken dataset is not named: $(cat "$work/err")"
cmp -s "$expected" "$work/results.jsonl" || fail "the good datasets' lines are lost beside a broken one"

[ "$failures" -eq 0 ]
