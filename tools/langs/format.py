#!/usr/bin/env python3
"""Language files of the sample device: keep them in one canonical form and complete.

  format.py            rewrite every language file: members sorted ("GUI" by text, "syserror"
                       by number), two-space indent, UTF-8 without escapes, no byte-order mark
  format.py --check    fail when a file is not in that form, when a language lacks a text the
                       scene translates or a fault text of the English file, when a translation
                       drops or adds a placeholder ({0}, <br>, line breaks, the game's trailing
                       space), or when langs.json offers a language without its file or flag;
                       each fault is named
  format.py --texts    print every text the scene translates, one per line

The texts the scene translates are the string literals of qsTr, qsTranslate, QT_TR_NOOP and
QT_TRANSLATE_NOOP in qml/*.qml and qml/*.js, and of QT_TR_NOOP in the host's src/app/*.cpp
(texts the host hands to the scene's popups). A text that reaches qsTr through a variable (a
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
FLAG_DIR = ROOT / "flags"
# What a translation must carry over from the English text unchanged: the arguments, the
# rich-text line breaks and the plain ones, and a trailing space a number is appended to.
MARKS = re.compile(r"\{\d+\}|%[0-9A-Za-z]|<br>|\[\[\[|\]\]\]|\{\{\{|\n")

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
    for path in sorted((ROOT / "qml").glob("*.qml")) + sorted((ROOT / "qml").glob("*.js")) + sorted((ROOT / "src/app").glob("*.cpp")):
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


def marks(text):
    return sorted(MARKS.findall(text)), text.endswith(" ")


def check_contents():
    """Every language complete and its placeholders intact; every offered language present."""
    failed = False
    texts = scene_texts()
    english = json.loads((LANG_DIR / "en.json").read_text(encoding="utf-8"))
    for path in sorted(LANG_DIR.glob("*.json")):
        if path.name == "langs.json":
            continue
        try:
            data = json.loads(path.read_text(encoding="utf-8"))
        except ValueError:
            continue  # reported above
        gui, faults = data.get("GUI", {}), data.get("syserror", {})
        problems = [f"lacks {json.dumps(t, ensure_ascii=False)}" for t in sorted(texts - gui.keys())]
        problems += [f"lacks fault text {n}" for n in english.get("syserror", {}) if n not in faults]
        for key, value in gui.items():
            reference = english["GUI"].get(key, key)
            if not isinstance(value, str):
                problems.append(f"{json.dumps(key, ensure_ascii=False)}: not a text")
            elif marks(value) != marks(reference) and not (
                    # a full-width colon carries its own space
                    reference.endswith(": ") and value.endswith("\uff1a")
                    and marks(value)[0] == marks(reference)[0]):
                problems.append(f"{json.dumps(key, ensure_ascii=False)}: placeholders differ in "
                                f"{json.dumps(value, ensure_ascii=False)}")
        if problems:
            failed = True
            print(f"{path.name}: {len(problems)} problem(s):")
            for p in problems:
                print(f"  {p}")
    try:
        offered = json.loads((LANG_DIR / "langs.json").read_text(encoding="utf-8"))
    except ValueError:
        return True
    for entry in offered:
        name = entry.get("filename", "")
        if not (LANG_DIR / f"{name}.json").is_file():
            failed = True
            print(f"langs.json offers {name!r} without {name}.json")
        if not (FLAG_DIR / str(entry.get("countryCode", ""))).is_file():
            failed = True
            print(f"langs.json offers {name!r} with the unknown flag {entry.get('countryCode')!r}")
    return failed


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
        failed |= check_contents()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
