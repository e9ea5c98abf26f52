#!/usr/bin/env python3
"""Language files of the sample device: keep them in one canonical form and complete.

  format.py            rewrite every language file: members sorted ("GUI" by text, "syserror"
                       by number), two-space indent, UTF-8 without escapes, no byte-order mark
  format.py --check    fail when a file is not in that form, or when a complete language
                       (en, de) lacks a text the scene translates; the missing texts are named
  format.py --texts    print every text the scene translates, one per line

The texts the scene translates are the string literals of qsTr, qsTranslate, QT_TR_NOOP and
QT_TRANSLATE_NOOP in qml/*.qml and qml/*.js. A text that reaches qsTr through a variable (a
list entry, a popup parameter key the tool's scripts send, the fault header the host sends)
must be marked with QT_TR_NOOP where it is written or listed.
"""
import json
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
LANG_DIR = ROOT / "tools/toolsim/sample/home/tool/config/langs"
COMPLETE = ("en", "de")

# The last argument of a translation call, when it is a string literal.
CALL = re.compile(r"""\b(?:qsTr|QT_TR_NOOP|qsTranslate|QT_TRANSLATE_NOOP)\s*\(\s*"""
                  r"""(?:(?:"(?:[^"\\\n]|\\.)*"|'(?:[^'\\\n]|\\.)*')\s*,\s*)?"""
                  r"""("(?:[^"\\\n]|\\.)*"|'(?:[^'\\\n]|\\.)*')\s*[,)]""")


def js_string(literal):
    body = literal[1:-1]
    if literal[0] == "'":
        body = body.replace("\\'", "'").replace('"', '\\"')
    return json.loads('"' + body + '"')


def scene_texts():
    texts = set()
    for path in sorted((ROOT / "qml").glob("*.qml")) + sorted((ROOT / "qml").glob("*.js")):
        for m in CALL.finditer(path.read_text(encoding="utf-8")):
            texts.add(js_string(m.group(1)))
    return texts


def canonical(data):
    out = {}
    for key, value in data.items():
        if key == "GUI" and isinstance(value, dict):
            value = dict(sorted(value.items()))
        elif key == "syserror" and isinstance(value, dict):
            value = dict(sorted(value.items(), key=lambda kv: (int(kv[0]) if kv[0].isdigit() else 1 << 62, kv[0])))
        out[key] = value
    return json.dumps(out, ensure_ascii=False, indent=2) + "\n"


def main(argv):
    if "--texts" in argv:
        for t in sorted(scene_texts()):
            print(t)
        return 0
    check = "--check" in argv
    failed = False
    for path in sorted(LANG_DIR.glob("*.json")):
        raw = path.read_bytes()
        try:
            data = json.loads(raw.decode("utf-8"))
        except ValueError as e:
            print(f"{path.name}: not valid JSON: {e}")
            failed = True
            continue
        if path.name == "langs.json":
            text = json.dumps(data, ensure_ascii=False, indent=2) + "\n"
        else:
            text = canonical(data)
        if raw != text.encode("utf-8"):
            if check:
                print(f"{path.name}: not in canonical form; run tools/langs/format.py")
                failed = True
            else:
                path.write_text(text, encoding="utf-8")
                print(f"rewrote {path.name}")
    if check:
        texts = scene_texts()
        for code in COMPLETE:
            gui = json.loads((LANG_DIR / f"{code}.json").read_text(encoding="utf-8")).get("GUI", {})
            missing = sorted(t for t in texts if t not in gui)
            if missing:
                failed = True
                print(f"{code}.json lacks {len(missing)} text(s) of the scene:")
                for t in missing:
                    print(f"  {json.dumps(t, ensure_ascii=False)}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
