#!/usr/bin/env python3
"""Checks that every text of the tool has a translation in every translations/*.ts.

lupdate first brings the sources' texts into a copy of each .ts, so a text added in the code
(or changed) without a translation shows up as well as one left unfinished in the file. Fails,
listing them, on a text without a finished translation, on a translation whose %1 %2 ...
differ from its source's, and, in a language not written in Chinese characters, on Chinese
characters left in a translation.

Usage, from the source folder: scripts/check-translations.py [path of lupdate]
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

FOLDERS = ["app", "codec", "serial", "transmission", "device", "automation"]
CHINESE = re.compile("[\u3000-\u303f\u3400-\u9fff\uff00-\uffef]")
PLACEHOLDER = re.compile(r"%\d+")


def problems(ts_path, lupdate):
    with tempfile.TemporaryDirectory() as folder:
        current = os.path.join(folder, os.path.basename(ts_path))
        shutil.copy(ts_path, current)
        subprocess.run([lupdate, "-silent", "-I", ".", "-locations", "none", *FOLDERS,
                        "-ts", current], check=True)
        root = ET.parse(current).getroot()
    chinese_script = root.get("language", "").split("_")[0] in ("zh", "ja", "ko")
    for context in root.iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source")
            translation = message.find("translation")
            kind = translation.get("type")
            if kind in ("vanished", "obsolete"):
                continue
            text = translation.text or ""
            where = f"{name}: {source!r}"
            if kind == "unfinished" or not text:
                yield f"{where} has no finished translation"
            elif sorted(PLACEHOLDER.findall(source)) != sorted(PLACEHOLDER.findall(text)):
                yield f"{where}: {text!r} does not carry the same %n"
            elif not chinese_script and CHINESE.search(text):
                yield f"{where}: {text!r} keeps Chinese characters"


def main():
    lupdate = sys.argv[1] if len(sys.argv) > 1 else "lupdate"
    found = [f"{path}: {p}" for path in sorted(glob.glob("translations/*.ts"))
             for p in problems(path, lupdate)]
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} texts need translating: run lupdate (see README, Translations), "
              "translate them in the .ts, and check again")
        return 1
    print("Every text is translated")
    return 0


if __name__ == "__main__":
    sys.exit(main())
