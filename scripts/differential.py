#!/usr/bin/env python3
"""Differential check of the native setup and profile APIs against Wine's.

Generates INF and INI files (scripts/gen-inf-ini.py, fixed seed), dumps each
with the native infdump and profdump (the simulated machine, code page 1252)
and with the same dumpers of the Windows build under Wine (one Wine process
per dumper, in batch mode), and compares the dumps line by line once the
documented Windows-over-Wine answers are allowed for:

- INF: for a file that is not a Windows 4 INF, SetupGetInfInformationA
  reports INF_STYLE_OLDNT on Windows ("info: ok style=1 count=1") where
  Wine fails with ERROR_FILE_NOT_FOUND ("info: fail err=0x00000002").
- Profile: a list cut short by a small buffer ends with two NULs on
  Windows; Wine leaves the buffer's last byte alone (\\xcc in its dump).
- Both: names compare without regard to case for every letter of the code
  page on Windows ("[Sé]" and "[SÉ]" are one section); Wine folds only
  a-z. For an INF file with such names, Wine dumps a copy whose later
  headers are spelled like the first (which changes nothing on Windows);
  in a profile dump, a later section's part is Wine's part for the first
  spelling, with the name asked for put back.

Every INF file gives two outputs (infdump --all and profdump --auto), every
INI file one. Prints one line per class of remaining differences with a
reproducer, then "differential: I of N outputs identical (P %)". The exit
status is 1 when fewer than --target percent are identical or a dumper
failed.

Usage: differential.py --inf N --ini M [--seed S] [--native DIR] [--windows DIR]
                       [--work DIR] [--target P]
Wine runs with the caller's WINEPREFIX (and DISPLAY, if any).
"""
import argparse
import collections
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# The loader scripts/wine-env.sh chose: `wine`, or the 64-bit loader on a
# host that cannot run 32-bit programs.
WINE_LOADER = os.environ.get("WINE_ENV_LOADER", "wine")
INFO_WINE = "info: fail err=0x00000002"
INFO_WINDOWS = "info: ok style=1 count=1"
LIST_CALL = re.compile(r'^\s*get sec=(<null>|".*") key=<null> def=(".*") size=(\d+) -> ret=(\d+) buf=".*"$')


def windows_answers_inf(wine, native):
    """Wine's lines with the Windows answers put in where the native dump has them."""
    return [INFO_WINDOWS if w == INFO_WINE and i < len(native) and native[i] == INFO_WINDOWS else w
            for i, w in enumerate(wine)]


def windows_answers_profile(lines):
    """A cut list's second NUL, which Wine does not write."""
    lengths = {}
    for line in lines:
        m = LIST_CALL.match(line)
        if m and m.group(3) == "65536" and (m.group(1) == "<null>" or m.group(2) == '""'):
            lengths[m.group(1)] = int(m.group(4))
    out = []
    for line in lines:
        m = LIST_CALL.match(line)
        untouched = '\\xcc"'
        if m:
            length = lengths.get(m.group(1), 0)
            size, ret = int(m.group(3)), int(m.group(4))
            if length and 2 <= size < length + 2 and ret == size - 2 and line.endswith(untouched):
                line = line[:-len(untouched)] + '\\x00"'
        out.append(line)
    return out


def fold(name):
    """A name as Windows compares it: every letter of code page 1252 upper-cased."""
    def upper(c):
        u = c.upper()
        try:
            ok = len(u) == 1 and len(c.encode("cp1252")) == 1 and len(u.encode("cp1252")) == 1
        except UnicodeEncodeError:
            ok = False
        return u if ok else c
    return "".join(upper(c) for c in name)


def ascii_upper(name):
    return "".join(c.upper() if "a" <= c <= "z" else c for c in name)


def decode_file(data):
    """The text of a generated file and how to write it back."""
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le"), lambda text: b"\xff\xfe" + text.encode("utf-16-le")
    if data.startswith(b"\xef\xbb\xbf"):
        return data[3:].decode("utf-8"), lambda text: b"\xef\xbb\xbf" + text.encode("utf-8")
    return data.decode("cp1252"), lambda text: text.encode("cp1252")


HEADER = re.compile(r"^([ \t]*\[)([^\]\n]*)(\])", re.M)


def windows_spelling(data):
    """The INF file with every header spelled like the first header Windows takes for the same name,
    or None when no header changes."""
    text, encode = decode_file(data)
    first = {}
    changed = False

    def respell(m):
        nonlocal changed
        name = first.setdefault(fold(m.group(2)), m.group(2))
        if ascii_upper(name) == ascii_upper(m.group(2)):  # Wine folds these itself
            name = m.group(2)
        changed = changed or name != m.group(2)
        return m.group(1) + name + m.group(3)
    text = HEADER.sub(respell, text)
    return encode(text) if changed else None


def unescape(text):
    """The bytes of a dump string (without its quotes)."""
    return re.sub(r"\\x([0-9a-f]{2})|\\(.)", lambda m: chr(int(m.group(1), 16)) if m.group(1) else m.group(2),
                  text).encode("latin-1")


PROFILE_SECTION = re.compile(r'^section "((?:[^"\\]|\\.)*)":$')


def windows_sections_profile(lines):
    """A later section whose name Windows takes for an earlier one's reads as that one."""
    parts = []  # [name, lines]
    for line in lines:
        m = PROFILE_SECTION.match(line)
        if m or not parts or (not line.startswith(" ") and parts[-1][0] is not None):
            parts.append([m.group(1) if m else None, [line]])
        else:
            parts[-1][1].append(line)
    first = {}
    out = []
    for name, part in parts:
        if name is not None:
            key = fold(unescape(name).decode("cp1252", errors="replace"))
            earlier = first.setdefault(key, (name, part))
            if earlier[0] != name:
                part = [l.replace(f'sec="{earlier[0]}"', f'sec="{name}"') for l in earlier[1]]
                part[0] = f'section "{name}":'
        out += part
    return out


def difference_class(wine_line, native_line):
    """What a first differing line pair is about, without its particular text."""
    def shape(line):
        line = re.sub(r'"(?:[^"\\]|\\.)*"', "S", line)
        return re.sub(r"\d+", "N", line).strip()
    return f"wine[{shape(wine_line)}] native[{shape(native_line)}]"


def run(command, env=None, timeout=None):
    result = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
    return result.returncode, result.stderr.decode(errors="replace")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--inf", type=int, default=2000)
    parser.add_argument("--ini", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=12)
    parser.add_argument("--native", default=os.path.join(ROOT, "build/native"))
    parser.add_argument("--windows", default=os.environ.get("MIRTEL_WINDOWS_BUILD", os.path.join(ROOT, "build/windows")))
    parser.add_argument("--work")
    parser.add_argument("--target", type=float, default=99.0)
    parser.add_argument("--classes", type=int, default=20, help="difference classes listed")
    args = parser.parse_args()
    native = os.path.abspath(args.native)
    windows = os.path.abspath(args.windows)
    for tool in ("infdump", "profdump"):
        for path in (f"{native}/bin/{tool}", f"{windows}/bin/{tool}.exe"):
            if not os.path.exists(path):
                print(f"differential: {path} is missing (build it first)")
                return 1

    work = os.path.abspath(args.work) if args.work else tempfile.mkdtemp(prefix="mirtel-differential.")
    started = time.time()
    try:
        cases = os.path.join(work, "cases")
        shutil.rmtree(cases, ignore_errors=True)
        os.makedirs(cases)
        subprocess.run([sys.executable, os.path.join(ROOT, "scripts/gen-inf-ini.py"), cases,
                        str(args.inf), str(args.ini), str(args.seed)], check=True)
        files = sorted(os.listdir(cases))
        respelled = os.path.join(work, "wine-cases")
        os.makedirs(respelled, exist_ok=True)
        jobs = []  # (name, tool, arguments, Wine's arguments)
        for name in files:
            path = os.path.join(cases, name)
            if name.endswith(".inf"):
                with open(path, "rb") as f:
                    spelled = windows_spelling(f.read())
                wine_path = path
                if spelled is not None:
                    wine_path = os.path.join(respelled, name)
                    with open(wine_path, "wb") as f:
                        f.write(spelled)
                jobs.append((name, "infdump", ["--all", path], ["--all", wine_path]))
            arguments = [path, "--auto"]
            jobs.append((name + ".prof" if name.endswith(".inf") else name, "profdump", arguments, arguments))

        machine = os.path.join(work, "machine")
        os.makedirs(os.path.join(machine, "drive_c/windows/system32"), exist_ok=True)
        with open(os.path.join(machine, "machine.ini"), "w") as f:
            f.write("[System]\nSystemDirectory=C:\\windows\\system32\nAnsiCodePage=1252\n")
        failures = []
        for side in ("native", "wine"):
            os.makedirs(os.path.join(work, side), exist_ok=True)
            for tool in ("infdump", "profdump"):
                batch = os.path.join(work, f"{side}-{tool}.batch")
                with open(batch, "w") as f:
                    for name, job_tool, arguments, wine_arguments in jobs:
                        if job_tool == tool:
                            f.write("\t".join([os.path.join(work, side, name + ".out")] +
                                              (arguments if side == "native" else wine_arguments)) + "\n")
                if side == "native":
                    status, err = run([f"{native}/bin/{tool}", "--batch", batch],
                                      env=dict(os.environ, MIRTEL_MACHINE=machine), timeout=600)
                else:
                    status, err = run(["env", "LC_ALL=en_US.UTF-8", WINE_LOADER, f"{windows}/bin/{tool}.exe",
                                       "--batch", batch], env=dict(os.environ, WINEDEBUG="-all"), timeout=900)
                if status != 0:
                    failures.append(f"{side} {tool} ended with status {status}: {err.strip()[:500]}")

        identical = 0
        classes = collections.OrderedDict()
        for name, tool, _, _ in jobs:
            try:
                with open(os.path.join(work, "wine", name + ".out"), "rb") as f:
                    wine = f.read().decode("latin-1").splitlines()
                with open(os.path.join(work, "native", name + ".out"), "rb") as f:
                    ours = f.read().decode("latin-1").splitlines()
            except OSError as error:
                failures.append(f"{name}: {error}")
                continue
            if not wine or wine[-1] != "end" or not ours or ours[-1] != "end":
                failures.append(f"{name}: a dump is cut short")
            if tool == "infdump":
                wine = windows_answers_inf(wine, ours)
            else:
                wine = windows_answers_profile(windows_sections_profile(wine))
            if wine == ours:
                identical += 1
                continue
            i = next((i for i, (a, b) in enumerate(zip(wine, ours)) if a != b), min(len(wine), len(ours)))
            a = wine[i] if i < len(wine) else "<end>"
            b = ours[i] if i < len(ours) else "<end>"
            key = f"{tool}: {difference_class(a, b)}"
            entry = classes.setdefault(key, [0, name, i + 1, a, b])
            entry[0] += 1

        total = len(jobs)
        for key, (count, name, line, a, b) in sorted(classes.items(), key=lambda item: -item[1][0])[:args.classes]:
            print(f"  {count:5d}  {key}")
            print(f"         e.g. {os.path.join(cases, name.replace('.prof', ''))} line {line}")
            print(f"           wine:   {a}")
            print(f"           native: {b}")
        for failure in failures:
            print(f"  FAIL: {failure}")
        percent = 100.0 * identical / total if total else 0.0
        print(f"differential: {identical} of {total} outputs identical ({percent:.1f} %), "
              f"{len(classes)} classes of difference, seed {args.seed}, {time.time() - started:.0f} s")
        return 0 if not failures and percent >= args.target else 1
    finally:
        if not args.work:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
