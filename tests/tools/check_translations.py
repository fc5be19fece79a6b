#!/usr/bin/env python3
"""Fails unless every translations/*.ts is what lupdate makes of the sources and every text in it is
translated, with the placeholders of its source.

Usage: check_translations.py SOURCE_DIR LUPDATE

lupdate runs over a temporary copy of each file, with the options of the build's update_translations
target, so a text added to the sources, or one no source names any more, fails here until the .ts
file is brought up to date and translated.
"""
import difflib
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

PLACEHOLDER = re.compile(r"%(?:L?\d+|n)")


def sources(root):
    return sorted(str(p) for p in (root / "src").rglob("*") if p.suffix in (".cpp", ".h"))


def lupdate_copy(root, lupdate, ts, folder):
    """The file as lupdate writes it from the sources, and what lupdate warned of."""
    copy = pathlib.Path(folder) / ts.name
    shutil.copyfile(ts, copy)
    run = subprocess.run(
        [lupdate, "-silent", "-locations", "none", "-no-obsolete", "-I", str(root / "src"),
         *sources(root), "-ts", str(copy)],
        capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"lupdate failed on {ts.name}:\n{run.stdout}{run.stderr}")
    return copy.read_text(encoding="utf-8"), (run.stdout + run.stderr).strip()


def placeholders(text):
    return sorted(set(PLACEHOLDER.findall(text or "")))


def faults_in(ts):
    faults = []
    for context in ElementTree.parse(ts).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source")
            where = f"{ts.name}: {name}: “{source}”"
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "missing"
            if kind in ("unfinished", "obsolete", "vanished", "missing"):
                faults.append(f"{where} is {kind}")
                continue
            forms = [f.text for f in translation.iter("numerusform")] or [translation.text]
            for form in forms:
                if not form:
                    faults.append(f"{where} has an empty translation")
                elif placeholders(form) != placeholders(source):
                    faults.append(f"{where} has the placeholders {placeholders(form)} in “{form}”, "
                                  f"not {placeholders(source)}")
    return faults


def main():
    root, lupdate = pathlib.Path(sys.argv[1]), sys.argv[2]
    files = sorted((root / "translations").glob("*.ts"))
    if not files:
        sys.exit("no translations/*.ts")
    faults = []
    with tempfile.TemporaryDirectory() as folder:
        for ts in files:
            committed = ts.read_text(encoding="utf-8")
            updated, warnings = lupdate_copy(root, lupdate, ts, folder)
            if warnings:
                # A text lupdate cannot place would be looked up in a context that does not hold it.
                faults.append(f"lupdate warns of the sources:\n{warnings}")
            if updated != committed:
                diff = difflib.unified_diff(committed.splitlines(), updated.splitlines(),
                                            f"{ts.name} (committed)", f"{ts.name} (from the sources)",
                                            lineterm="", n=1)
                faults.append(f"{ts.name} is not what lupdate makes of the sources; run "
                              "`cmake --build --preset default --target update_translations` and translate "
                              "what it adds:\n" + "\n".join(list(diff)[:60]))
            faults += faults_in(ts)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
