#!/usr/bin/env python3
"""Deliberate faults the test suite must catch.

Each file in tests/faults/list/*.fault names one fault:

    what:    what the fault breaks, in a user's words
    file:    the source file, relative to the top of the tree
    find:    a text that occurs exactly once in that file
    replace: what it becomes
    tests:   the test binaries (build/tests/test_*) that should catch it
    filter:  (optional) a --gtest_filter for those binaries, to keep the run short
    ctest:   (optional) a ctest -R pattern for script tests that should catch it, with
    targets: the targets those scripts run (e.g. mirravane-render)

For each fault the script puts the replacement into the source tree, builds the named test
binaries incrementally, runs them, and puts the original text back (also on an error or
Ctrl-C). It prints one line a fault: caught or not, and by which tests. It exits non-zero
when a fault is not caught, does not build, or its find text is missing or not unique.

Run it from anywhere, with a configured build directory:

    tests/faults/run_faults.py build                 # every fault
    tests/faults/run_faults.py build kaleidoscope    # faults whose name contains a word

It takes a while (one incremental build per fault), so it is not part of ctest. At the end
the binaries are built again from the untouched sources.
"""

import os
import re
import signal
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
LIST = Path(__file__).resolve().parent / "list"
TEST_TIMEOUT = 900


def parse(path):
    fault = {"name": path.stem, "filter": ""}
    for line in path.read_text().splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        key, _, value = line.partition(":")
        fault[key.strip()] = value[1:] if value.startswith(" ") else value
    for key in ("file", "find", "replace", "tests"):
        if key not in fault:
            raise SystemExit(f"{path}: no '{key}:' line")
    fault["tests"] = fault["tests"].split()
    fault["targets"] = fault["tests"] + fault.get("targets", "").split()
    return fault


def build(build_dir, targets):
    result = subprocess.run(["cmake", "--build", str(build_dir), "--target", *targets],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return result.returncode == 0, result.stdout


def run_tests(build_dir, fault):
    """The names of the failing tests, or of binaries that crashed or hung."""
    env = dict(os.environ, MIRRAVANE_BACKEND="headless", QT_QPA_PLATFORM="offscreen")
    failed = []
    for binary in fault["tests"]:
        command = [str(Path(build_dir) / "tests" / binary), "--gtest_brief=1"]
        if fault["filter"]:
            command.append("--gtest_filter=" + fault["filter"])
        try:
            result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                    errors="replace", timeout=TEST_TIMEOUT, cwd=build_dir)
        except subprocess.TimeoutExpired:
            failed.append(f"{binary} (timed out)")
            continue
        names = sorted(set(re.findall(r"^\[  FAILED  \] (\S+\.\S+?)(?:,| |$)", result.stdout, re.M)))
        failed += [f"{binary}:{n}" for n in names]
        if result.returncode != 0 and not names:
            failed.append(f"{binary} (exit {result.returncode})")
    if fault.get("ctest"):
        result = subprocess.run(["ctest", "-R", fault["ctest"], "--timeout", str(TEST_TIMEOUT)], stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True, errors="replace", cwd=build_dir)
        failed += [f"ctest:{n}" for n in re.findall(r"^\s*\d+ - (\S+) \(", result.stdout, re.M)]
        if result.returncode != 0 and not re.search(r" - \S+ \(", result.stdout):
            failed.append(f"ctest {fault['ctest']} (exit {result.returncode})")
    return failed


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    build_dir = Path(sys.argv[1]).resolve()
    words = sys.argv[2:]
    faults = [parse(p) for p in sorted(LIST.glob("*.fault"))]
    if words:
        faults = [f for f in faults if any(w in f["name"] for w in words)]

    # Ctrl-C or a kill still runs the `finally` that puts the source back.
    def stop(signum, _frame):
        raise KeyboardInterrupt(signum)
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGHUP, stop)

    ok, output = build(build_dir, sorted({t for f in faults for t in f["targets"]}))
    if not ok:
        print(output[-3000:])
        raise SystemExit("the untouched tree does not build")

    rows = []
    for fault in faults:
        source = ROOT / fault["file"]
        original = source.read_text()
        count = original.count(fault["find"])
        if count != 1:
            rows.append((fault["name"], "NO", f"find text occurs {count} times in {fault['file']}"))
            continue
        try:
            source.write_text(original.replace(fault["find"], fault["replace"]))
            ok, output = build(build_dir, fault["targets"])
            if not ok:
                print(output[-3000:])
                rows.append((fault["name"], "NO", "the faulty tree does not build"))
                continue
            failed = run_tests(build_dir, fault)
        finally:
            source.write_text(original)
        shown = ", ".join(failed[:3]) + (f" (+{len(failed) - 3} more)" if len(failed) > 3 else "")
        rows.append((fault["name"], "yes" if failed else "NO", shown or "-"))
        print(f"{fault['name']}: {'caught' if failed else 'NOT CAUGHT'}", flush=True)

    build(build_dir, sorted({t for f in faults for t in f["targets"]}))
    width = max(len(r[0]) for r in rows) if rows else 5
    print(f"\n{'fault':<{width}}  caught  by")
    for name, caught, by in rows:
        print(f"{name:<{width}}  {caught:<6}  {by}")
    missed = [r for r in rows if r[1] != "yes"]
    print(f"\n{len(rows) - len(missed)} of {len(rows)} faults caught")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
