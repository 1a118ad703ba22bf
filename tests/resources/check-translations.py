#!/usr/bin/env python3
"""Checks the built program's resources in every language against English (US): every
string, menu item and dialog control with the same placeholders; an access key wherever
English has one, and none twice in a menu or dialog as the user sees it; the captions the
program finds its dialogs by; every string within the 255 bytes of its language's code page.

Usage: check-translations.py WINDRES PROGRAM.exe"""
import re
import subprocess
import sys

ENGLISH = (9, 1)
CODE_PAGES = {4: "cp936", 7: "cp1252", 9: "ascii", 10: "cp1252", 12: "cp1252", 16: "cp1252",
              17: "cp932", 22: "cp1252", 25: "cp1251"}
LITERAL = r'L?"((?:[^"\\]|\\.|"")*)"'
# A menu item or dialog control: its text and its id, where it has them.
ITEM = r"\s+(?!BEGIN|END)[A-Z]+ (?:" + LITERAL + r")?(?:, )?(-?\d+)?"
KINDS = {"MENU": "menu", "DIALOG": "dialog", "DIALOGEX": "dialog"}
ESCAPES = {'""': '"', '\\"': '"', "\\\\": "\\", "\\n": "\n", "\\r": "\r", "\\t": "\t"}
# The tray menu is made of strings; some items show another string in place of their own:
# Deactivate for Activate, and the Sites page's Show and Hide texts.
TRAY_MENU = (101, 102, 103, 105, 115, 116, 131)
STAND_INS = ((("tray menu",), 103, 104), (("dialog", 119), 207, 135),
             (("dialog", 119), 207, 136), (("menu", 214), 32771, 133))


def unescape(body):
    return re.sub(r'""|\\x[0-9a-fA-F]{4}|\\[0-7]{1,3}|\\.', lambda m: ESCAPES.get(m[0]) or chr(
        int(m[0][2:], 16) if m[0][1] == "x" else int(m[0][1:], 8)), body)


def resources(dump):
    """{language: {(kind, resource, item): text}} of the strings, menu items, dialog captions
    and controls; items without an id of their own are told apart by their place."""
    found, language, place, index = {}, None, None, 0
    for line in dump.splitlines():
        if m := re.match(r"LANGUAGE (\d+), (\d+)", line):
            language = (int(m[1]), int(m[2]))
        elif line.startswith("STRINGTABLE"):
            place = ("string", 0)
        elif m := re.match(r"(\d+) (\S+)", line):
            place, index = ((KINDS[m[2]], int(m[1])) if m[2] in KINDS else None), 0
        elif place and (m := re.match(r"CAPTION " + LITERAL, line)):
            found.setdefault(language, {})[(*place, "caption")] = unescape(m[1])
        elif place and (m := re.match(r"\s+(\d+), " + LITERAL, line)):
            found.setdefault(language, {})[("string", 0, int(m[1]))] = unescape(m[2])
        elif place and (m := re.match(ITEM, line)):
            index += 1
            if m[1] is not None:
                item = -index if m[2] in (None, "-1", "65535") else int(m[2])
                found.setdefault(language, {})[(*place, item)] = unescape(m[1])
    return found


def access_key(text):
    m = re.search(r"&([^&])", text.replace("&&", ""))
    return m[1].lower() if m else None


def placeholders(text):
    return sorted(re.findall(r"%[-+ #0-9.]*[a-zA-Z%]|\t|\{\d+\}|\||\*\.\w+", text))


def ansi_size(text, language):
    try:
        return len(text.encode(CODE_PAGES[language[0]]))
    except UnicodeEncodeError:
        return 1 << 16


def views(texts):
    """Each menu and dialog as the user sees it, {item: text}, once for each stand-in text."""
    string = lambda i: texts.get(("string", 0, i), "")
    found = {("tray menu",): {i: string(i) for i in TRAY_MENU}}
    for (kind, resource, item), text in texts.items():
        if kind != "string" and item != "caption":
            found.setdefault((kind, resource), {})[item] = text
    for view, item, stand_in in STAND_INS:
        found[(*view, stand_in)] = {**found.get(view, {}), item: string(stand_in)}
    return found


def check(found):
    problems, english = [], found[ENGLISH]
    for language, texts in sorted(found.items()):
        problem = lambda what: problems.append(f"language {language[0]},{language[1]}: {what}")
        for key in texts.keys() - english.keys():
            problem(f"{key} is not in English")
        for key, source in english.items():
            text = texts.get(key)
            if text is None or (source and not text):
                problem(f"{key} is missing or empty")
            elif placeholders(text) != placeholders(source):
                problem(f"{key} has other placeholders than English")
            elif access_key(source) and not access_key(text):
                problem(f"{key} has no access key")
            elif key[0] == "string" and ansi_size(text, language) > 255:
                problem(f"{key} does not fit 255 bytes of its code page")
        # The program finds an open Options dialog or About box by the caption in its strings.
        for dialog, string in ((117, 185), (126, 184)):
            if texts.get(("dialog", dialog, "caption")) != texts.get(("string", 0, string)):
                problem(f"the caption of dialog {dialog} is not string {string}")
        for view, items in views(texts).items():
            keys = [key for key in map(access_key, items.values()) if key]
            for key in sorted({key for key in keys if keys.count(key) > 1}):
                problem(f"access key '{key}' twice in {view}")
    return problems


def main():
    windres, program = sys.argv[1:3]
    dump = subprocess.run([windres, "-J", "coff", "-i", program, "-O", "rc"], check=True,
                          capture_output=True, text=True).stdout
    found = resources(dump)
    problems = check(found) if ENGLISH in found and len(found) > 1 else ["no translations"]
    texts = len(found.get(ENGLISH, {}))
    print(*problems, f"{len(found)} languages, {texts} texts each: {len(problems)} problems",
          sep="\n")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
