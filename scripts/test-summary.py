#!/usr/bin/env python3
"""Counts test results from the GoogleTest XML files of the given build folders.

A registered test program that left no result file counts as a failure: under
Wine a program that could not start may still exit 0.
"""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def summarize(build: Path):
    passed, failed, notes = 0, 0, []
    names = [n for n in (build / "kv-tests.txt").read_text().split() if n]
    for name in names:
        result = build / "test-results" / f"{name}.xml"
        if not result.exists():
            failed += 1
            notes.append(f"{build.name}/{name}: no result file (program did not run)")
            continue
        try:
            root = ET.parse(result).getroot()
        except ET.ParseError as e:
            failed += 1
            notes.append(f"{build.name}/{name}: unreadable result file ({e})")
            continue
        cases = root.findall(".//testcase")
        if not cases:
            failed += 1
            notes.append(f"{build.name}/{name}: ran no tests")
        for case in cases:
            if case.get("result", "completed") == "skipped" or case.get("status") == "notrun":
                continue
            if case.find("failure") is not None or case.find("error") is not None:
                failed += 1
                notes.append(f"{build.name}/{name}: {case.get('classname')}.{case.get('name')} failed")
            else:
                passed += 1
    return passed, failed, notes


def main():
    total_p, total_f = 0, 0
    for arg in sys.argv[1:]:
        build = Path(arg)
        if not (build / "kv-tests.txt").exists():
            print(f"{build.name}: not built")
            total_f += 1
            continue
        p, f, notes = summarize(build)
        for n in notes:
            print("  " + n)
        print(f"{build.name}: {p} passed, {f} failed")
        total_p += p
        total_f += f
    print(f"{total_p} passed, {total_f} failed")
    return 1 if total_f else 0


if __name__ == "__main__":
    sys.exit(main())
