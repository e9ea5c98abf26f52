#!/usr/bin/env python3
"""The screen catalogue over the shipped language files, and over planted faults.

  tst_screencat.py SCREENCAT LANGDIR OUTDIR shipped   every shipped language: nothing cut,
                                                      overlapping or missing
  tst_screencat.py SCREENCAT LANGDIR OUTDIR planted   over-long and missing texts in a copy of
                                                      English are reported where they are shown, on
                                                      a copy of the scene whose middle key text
                                                      and editor summary neither shrink nor elide
"""
import json
import pathlib
import re
import shutil
import subprocess
import sys

# (translated source text, planted translation, screen, kind) in a copy of English; a planted
# None removes the text from the file.
PLANTED = [
    ("Speed: ", "Drehzahl der Spindel im Rechtslauf, vorgegeben: ", "editor summary torque", "cut"),
    ("Select", "Auswählen und bestätigen", "main menu", "overlaps"),
    ("Abort", None, "-", "missing"),
]


def run(screencat, langs, out, qml=None):
    args = [screencat, "--out", str(out)] + (["--qml", str(qml)] if qml else [])
    for lang in langs:
        args += ["--lang", str(lang)]
    proc = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=1200)
    report = (out / "report.txt").read_text(encoding="utf-8") if (out / "report.txt").exists() else ""
    return proc.returncode, report, proc.stderr


def main(screencat, langdir, outdir, mode):
    langdir, out = pathlib.Path(langdir), pathlib.Path(outdir) / mode
    out.mkdir(parents=True, exist_ok=True)
    if mode == "shipped":
        rc, report, err = run(screencat, [langdir], out)
        failing = [l for l in report.splitlines() if l.split("\t")[3] in ("cut", "overlaps", "missing")]
        for line in failing:
            print("FAIL:", line)
        sheets = sorted(p.name for p in out.glob("*.png"))
        langs = sorted(p.stem for p in langdir.glob("*.json") if p.name != "langs.json")
        expected = sorted(f"{l}-{t}.png" for l in langs for t in ("blue", "black"))
        if sheets != expected:
            print("FAIL: sheets", sheets, "expected", expected)
        if rc != (1 if failing else 0) or rc not in (0, 1):
            print(f"FAIL: exit {rc} with {len(failing)} failing texts", err[-2000:])
        return 0 if not failing and rc == 0 and sheets == expected else 1

    lang = json.loads((langdir / "en.json").read_text(encoding="utf-8"))
    for source, planted, _, _ in PLANTED:
        if planted is None:
            del lang["GUI"][source]
        else:
            lang["GUI"][source] = planted
    (out / "xx.json").write_text(json.dumps(lang, ensure_ascii=False), encoding="utf-8")
    # the scene as it was before its texts learnt to fit: the middle key text runs over its
    # neighbours, the editor summary out of the screen
    qml = out / "qml"
    shutil.rmtree(qml, ignore_errors=True)
    shutil.copytree(pathlib.Path(__file__).resolve().parents[2] / "qml", qml)
    bar = (qml / "ButtonBarParts.qml").read_text(encoding="utf-8")
    bar = re.sub(r"(objectName: \"textMiddle\".*?)fontSizeMode: Text.HorizontalFit\n\s*minimumPixelSize: \d+\n\s*elide: Text.Elide\w+\n",
                 r"\1", bar, flags=re.S)
    (qml / "ButtonBarParts.qml").write_text(bar, encoding="utf-8")
    editor = (qml / "Program.qml").read_text(encoding="utf-8")
    editor = re.sub(r"(component SummaryLine: Text \{.*?)elide: Text.ElideRight\n", r"\1", editor, flags=re.S)
    editor = editor.replace("Math.max(16, Math.floor(25 * summaryText.width / widest))", "25")
    (qml / "Program.qml").write_text(editor, encoding="utf-8")
    rc, report, err = run(screencat, [out / "xx.json"], out, qml)
    rows = [l.split("\t") for l in report.splitlines()]
    failed = rc != 1
    if failed:
        print(f"FAIL: exit {rc}, expected 1", err[-2000:])
    for source, planted, screen, kind in PLANTED:
        text = (planted or source).strip()
        hits = [r for r in rows if r[2] == screen and r[3] == kind and text in r[4]]
        # a cut text with its width against the smaller room it has; an overlap with its size
        sized = [r for r in hits if kind == "missing"
                 or (kind == "cut" and (lambda m: m and int(m[1]) > int(m[2]))(re.fullmatch(r"(\d+) px in (\d+) px", r[5])))
                 or (kind == "overlaps" and re.fullmatch(r'over ".+" by [1-9]\d* x [1-9]\d* px', r[5]))]
        if not sized:
            print(f"FAIL: {kind} \"{text}\" on \"{screen}\" not reported; report:\n{report}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
