#!/usr/bin/env python3
"""Runs qmllint over every scene file and fails on any finding but the one Qt 6.4 cannot
be told about: unqualified access to the context property cMainWindow, and to the root's
id mainwindow from the files the root loads."""
import glob
import json
import os
import subprocess
import sys

qmllint, qml_dir = sys.argv[1], os.path.abspath(sys.argv[2])
files = sorted(glob.glob(os.path.join(qml_dir, "*.qml")) + glob.glob(os.path.join(qml_dir, "*.js")))
# The host's own item types ("Tavik") are described for qmllint in lintimports/.
imports = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lintimports")
run = subprocess.run([qmllint, "--json", "-", "-I", imports] + files, cwd=qml_dir, capture_output=True, text=True)
try:
    report = json.loads(run.stdout)
except ValueError:
    print(run.stdout, run.stderr)
    sys.exit("qmllint gave no report")

failures = 0
for entry in report["files"]:
    path = entry["filename"]
    name = os.path.basename(path)
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for w in entry.get("warnings", []):
        if w.get("type") == "info":
            continue
        word = ""
        line, column, length = w.get("line", 0), w.get("column", 0), w.get("length", 0)
        if 0 < line <= len(lines) and column > 0:
            word = lines[line - 1][column - 1:column - 1 + length]
        if w["message"] == "Unqualified access":
            if word == "cMainWindow" or (word == "mainwindow" and name != "main.qml"):
                continue
        failures += 1
        print("%s:%d:%d: %s %s [%s]" % (name, line, column, w.get("type"), w["message"], word))
print("%d files linted, %d findings" % (len(files), failures))
sys.exit(1 if failures else 0)
