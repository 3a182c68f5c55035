#!/usr/bin/python3
"""orvel-analyze --csv against --json of the same run, read with Python's own csv and json
modules: one header line and one row, a column per JSON value named by its path, equal values.
usage: csv_matches_json.py ORVEL_ANALYZE ORVEL_PHANTOM
"""
import csv
import io
import json
import subprocess
import sys
import tempfile

ANALYZE, PHANTOM = sys.argv[1], sys.argv[2]


def flatten(value, path, columns):
    if isinstance(value, dict):
        for key, member in value.items():
            if key != "text":
                flatten(member, f"{path}.{key}" if path else key, columns)
    elif isinstance(value, list):
        for index, member in enumerate(value):
            flatten(member, f"{path}.{index}", columns)
    else:
        columns.append((path, value))


def same(csv_value, json_value):
    if isinstance(json_value, bool):
        return csv_value == ("true" if json_value else "false")
    if json_value is None:
        return csv_value == "null"
    if isinstance(json_value, (int, float)):
        return float(csv_value) == float(json_value)
    return csv_value == json_value


failures = []
with tempfile.TemporaryDirectory() as directory:
    subprocess.run([PHANTOM, directory, "--slices", "12", "--size", "96x80"], check=True, capture_output=True)
    first = f"{directory}/phantom0000.bmp"
    runs = [["--info"], ["--line", "3,4,90,70"], ["--rectangle", "4,4,90,70", "--2d", "--sweep", "2"],
            ["--ellipse", "4,4,90,70", "--3d", "--surface", "mesh", "--hash-content", "--range", "2,9"],
            ["--rectangle", "10,10,60,60", "--3d", "--sweep", "1", "--invert", "--levels", "100,300"]]
    for options in runs:
        document = json.loads(subprocess.run([ANALYZE, first, *options, "--json"], check=True,
                                             capture_output=True, text=True).stdout)
        table = subprocess.run([ANALYZE, first, *options, "--csv"], check=True, capture_output=True,
                               text=True).stdout
        rows = list(csv.reader(io.StringIO(table)))
        columns = []
        flatten(document, "", columns)
        if len(rows) != 2 or table.count("\n") != 2:
            failures.append(f"{options}: {len(rows)} rows, {table.count(chr(10))} lines")
            continue
        if rows[0] != [name for name, _ in columns]:
            failures.append(f"{options}: header {rows[0]} against {[name for name, _ in columns]}")
            continue
        for (name, value), cell in zip(columns, rows[1]):
            if not same(cell, value):
                failures.append(f"{options}: {name} is {cell!r} in the CSV, {value!r} in the JSON")
        print(f"{' '.join(options)}: {len(columns)} columns equal")

for failure in failures:
    print("FAIL", failure)
sys.exit(1 if failures else 0)
