#!/usr/bin/env python3
"""Checks the program's compiled resources in every language against English (US): every
string, menu item and dialog control is there, with the same placeholders, an access key
wherever English has one, no access key twice in one menu or dialog, the captions that the
program finds its dialogs by, and every string fits the ANSI buffers it goes through (255
bytes of its language's code page).

Usage: check-translations.py WINDRES SOURCE_DIR"""
import pathlib
import re
import subprocess
import sys
import tempfile

ENGLISH = (9, 1)
CODE_PAGES = {7: "cp1252", 12: "cp1252", 10: "cp1252", 16: "cp1252", 22: "cp1252",
              25: "cp1251", 17: "cp932", 4: "cp936", 9: "ascii"}
# The tray menu is made from these strings (with Activate or Deactivate); the Sites page's
# toggle button and menu item take the Hide texts in place of the Show ones.
TRAY_MENU = (101, 102, 103, 104, 105, 115, 116, 131)
STRING_FOR_CONTROL = {("dialog", 119, 207): 136, ("menu", 214, 32771): 133}
STRING = r'(L?"(?:[^"\\]|\\.|"")*")'


def unescape(literal):
    body = literal[2:-1] if literal.startswith("L") else literal[1:-1]
    simple = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"', "a": "\a"}

    def one(match):
        text = match.group(0)
        if text == '""':
            return '"'
        if text[1] in simple:
            return simple[text[1]]
        if text[1] == "x":
            return chr(int(text[2:], 16))
        return chr(int(text[1:], 8))
    return re.sub(r'""|\\x[0-9a-fA-F]+|\\[0-7]{1,3}|\\.', one, body)


def resources(dump):
    """{language: {(kind, resource, item): text}} of strings, menu items and controls."""
    found, language, kind, resource, index = {}, None, None, None, 0
    for line in dump.splitlines():
        if m := re.match(r"LANGUAGE (\d+), (\d+)", line):
            language = (int(m[1]), int(m[2]))
        elif line.startswith("STRINGTABLE"):
            kind = "string"
        elif m := re.match(r"(\d+) (MENU|DIALOG|DIALOGEX)\b", line):
            kind, resource, index = ("menu" if m[2] == "MENU" else "dialog"), int(m[1]), 0
        elif m := re.match(r"CAPTION " + STRING, line):
            found.setdefault(language, {})[(kind, resource, "caption")] = unescape(m[1])
        elif kind == "string" and (m := re.match(r"\s+(\d+), " + STRING, line)):
            found.setdefault(language, {})[("string", 0, int(m[1]))] = unescape(m[2])
        elif kind == "menu" and (m := re.match(r"\s+(MENUITEM|POPUP) " + STRING + r"(?:, (\d+))?", line)):
            index += 1
            found.setdefault(language, {})[("menu", resource, int(m[3] or -index))] = unescape(m[2])
        elif kind == "dialog" and (m := re.match(r"\s+(\w+) " + STRING + r", (-?\d+)", line)):
            index += 1  # controls without an id of their own are told apart by their place
            item = int(m[3]) if int(m[3]) not in (-1, 65535) else -index
            found.setdefault(language, {})[("dialog", resource, item)] = unescape(m[2])
        elif kind == "dialog" and re.match(r"\s+\w+ ", line):
            index += 1
    return found


def access_key(text):
    m = re.search(r"&([^&])", text.replace("&&", ""))
    return m[1].lower() if m else None


def placeholders(text):
    return sorted(re.findall(r"%[-+ #0-9.]*[a-zA-Z%]|\t|\{\d+\}|\||\*\.\w+", text))


def check(found):
    problems = []
    english = found[ENGLISH]
    for language, texts in sorted(found.items()):
        name = "language %d,%d" % language
        for key, source in english.items():
            text = texts.get(key)
            if text is None:
                problems.append(f"{name}: {key} is missing")
                continue
            if source and not text:
                problems.append(f"{name}: {key} is empty")
            if placeholders(text) != placeholders(source):
                problems.append(f"{name}: {key} has other placeholders than English")
            if access_key(source) and not access_key(text):
                problems.append(f"{name}: {key} has no access key")
            if key[0] == "string":
                try:
                    if len(text.encode(CODE_PAGES[language[0]])) > 255:
                        problems.append(f"{name}: {key} is longer than 255 bytes")
                except UnicodeEncodeError:
                    problems.append(f"{name}: {key} does not fit its code page")
        # The program finds an open Options dialog or About box by the caption in its string table.
        for dialog, string in ((117, 185), (126, 184)):
            if texts.get(("dialog", dialog, "caption")) != texts.get(("string", 0, string)):
                problems.append(f"{name}: the caption of dialog {dialog} is not string {string}")
        for key in texts.keys() - english.keys():
            problems.append(f"{name}: {key} is not in English")
        # Access keys once per menu and per dialog, the tray menu's strings together.
        groups = {}
        for (kind, resource, item), text in texts.items():
            if kind != "string" and item != "caption":
                groups.setdefault((kind, resource), []).append(text)
                if (kind, resource, item) in STRING_FOR_CONTROL:
                    groups[(kind, resource)].append(
                        texts.get(("string", 0, STRING_FOR_CONTROL[(kind, resource, item)]), ""))
        for active in (103, 104):
            groups[("tray menu", active)] = [texts.get(("string", 0, i), "")
                                             for i in TRAY_MENU if i in (active,) or i not in (103, 104)]
        for group, members in groups.items():
            # The Show and Hide texts of one control may share their key.
            keys = [access_key(t) for t in members if access_key(t)]
            shared = {k for k in keys if keys.count(k) > 1}
            toggle = {access_key(texts.get(("string", 0, i), "")) for i in (133, 135, 136)}
            for key in shared:
                if not (key in toggle and keys.count(key) == 2 and group[1] in (119, 214)):
                    problems.append(f"{name}: access key '{key}' twice in {group}")
    return problems


def main():
    windres, source = sys.argv[1], pathlib.Path(sys.argv[2])
    with tempfile.TemporaryDirectory() as folder:
        folder = pathlib.Path(folder)
        version = (source / "resources/Version.h.in").read_text(encoding="utf-8")
        (folder / "Version.h").write_text(re.sub(r"@\w+@", "1", version), encoding="utf-8")
        for stand_in in ("Vantapicker.manifest", "Vantapicker.tlb"):
            (folder / stand_in).write_bytes(b"\0" * 4)
        dump = subprocess.run([windres, "-I", str(folder), "-I", str(source / "resources"),
                               "-I", str(source), "-O", "rc",
                               str(source / "resources/Vantapicker.rc")],
                              check=True, capture_output=True, text=True).stdout
    found = resources(dump)
    problems = check(found) if ENGLISH in found and len(found) > 1 else ["no translations"]
    for problem in problems:
        print(problem)
    print(f"{len(found)} languages, {len(found.get(ENGLISH, {}))} texts each: "
          f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
