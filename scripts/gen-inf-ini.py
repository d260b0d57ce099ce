#!/usr/bin/env python3
"""Seeded generator of INF and INI files for the differential check against
Wine (scripts/differential.py): printer-driver-like INF files and INI files
with the syntax the setup and profile APIs read (quotes, comments, blanks,
continuations, substitutions, repeated names), in ANSI (code page 1252),
UTF-16LE and UTF-8 with byte-order mark, with characters of code page 1252,
characters it writes as a best fit, and characters it lacks.

Usage: gen-inf-ini.py <folder> <inf-count> <ini-count> [seed]
Writes <folder>/g00000.inf ... and <folder>/g00000.ini ...; the same seed
always gives the same files.
"""
import random
import sys

ASCII_WORDS = ["Talvo", "Printer", "Model", "PS", "Laser", "Color", "driver", "Setup", "x86", "NTx86",
               "DATA", "file", "Ver", "a", "b", "key", "Value", "LPT1", "1.0", "07/01/2001"]
LATIN1 = "éèüößÄÖÜçñåø©®°±µ¼½¾ÆÐÞ"
CP1252_EXTRA = "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"
BEST_FIT = "ĉĈŁłΩωĀāĒēĪīŌōŪūŃńŚśŹźŻżČčĎďĚěŇňŘřŤťŮůȘșȚțΑΒΓΔΕΖΗΘ"
LACKING = "日本語中文字ДЖЗИЙКЛМНПФЦЧШЩЪЫЬЭЮЯ한국어"
SPECIAL = " \t,=;\"\\%[]"


def fits_1252(text):
    try:
        text.encode("cp1252")
        return True
    except UnicodeEncodeError:
        return False


def word(rng, charset):
    kind = rng.random()
    if kind < 0.55 or charset == "ascii":
        return rng.choice(ASCII_WORDS)
    pool = LATIN1 + CP1252_EXTRA
    if charset == "wide":
        pool += BEST_FIT * 2 + LACKING
    base = rng.choice(ASCII_WORDS) if rng.random() < 0.5 else ""
    return base + "".join(rng.choice(pool) for _ in range(rng.randint(1, 4)))


def text(rng, charset, words=3):
    return " ".join(word(rng, charset) for _ in range(rng.randint(1, words)))


def value(rng, charset, inf):
    r = rng.random()
    if r < 0.45:
        return text(rng, charset)
    if r < 0.6:
        return '"' + text(rng, charset).replace('"', '""') + '"'
    if r < 0.7 and inf:
        return "%" + rng.choice(["Prov", "Mfg", "Desc", "Other", word(rng, charset)]) + "%"
    if r < 0.8:
        return ""
    if r < 0.9:
        return "  " + text(rng, charset) + "  "
    extra = BEST_FIT[:6] if charset == "wide" else "é"
    return "".join(rng.choice(SPECIAL + "ab" + extra) for _ in range(rng.randint(1, 6)))


def section_name(rng, charset, names):
    if names and rng.random() < 0.15:
        name = rng.choice(names)
        if rng.random() < 0.5 and (charset == "wide" or fits_1252(name.upper())):
            return name.upper()
        return name
    r = rng.random()
    if r < 0.6 or charset == "ascii":
        name = rng.choice(["Install", "Files", "Strings", "Models", "Data", "Copy", "Reg"]) + str(rng.randint(0, 9))
    elif r < 0.8 or charset == "ansi":
        pool = LATIN1 + (BEST_FIT if charset == "wide" else CP1252_EXTRA)
        name = "S" + "".join(rng.choice(pool) for _ in range(rng.randint(1, 3)))
    else:
        name = "S" + "".join(rng.choice(LACKING) for _ in range(rng.randint(1, 2)))
    names.append(name)
    return name


def line(rng, charset, inf):
    r = rng.random()
    if r < 0.08:
        return "; " + text(rng, charset)
    if r < 0.12:
        return ""
    key = text(rng, charset, 2)
    if rng.random() < 0.1:
        key = " " + key + " "
    values = [value(rng, charset, inf) for _ in range(rng.randint(1, 4 if inf else 1))]
    body = (", " if rng.random() < 0.5 else ",").join(values)
    if rng.random() < 0.15 and inf:
        return body  # no key
    tail = ""
    if rng.random() < 0.1:
        tail = " ; " + text(rng, charset)
    if inf and rng.random() < 0.05:
        tail = " \\"  # joins the next line
    return key + ("=" if rng.random() < 0.7 else " = ") + body + tail


def inf_file(rng, charset):
    names = []
    out = []
    signature = rng.choice(['"$Windows NT$"', "$CHICAGO$", '"$Windows 95$"', '"$Windows NT$"', "$Windows 2000$"])
    out += ["[Version]", "Signature=" + signature, "Class=Printer", "Provider=%Prov%", "DriverVer=07/01/2001,1.0"]
    if rng.random() < 0.1:
        out.insert(0, "; " + text(rng, charset))
    models = section_name(rng, charset, names)
    out += ["", "[Manufacturer]", "%Mfg%=" + models + (",NTx86" if rng.random() < 0.3 else "")]
    out += ["", "[" + models + "]"]
    for i in range(rng.randint(1, 5)):
        out.append('"' + text(rng, charset) + '"=Install' + str(i) + ",ID_" + str(i))
    for _ in range(rng.randint(1, 5)):
        out += ["", "[" + section_name(rng, charset, names) + "]"]
        out += [line(rng, charset, True) for _ in range(rng.randint(0, 6))]
    out += ["", "[Strings]", 'Prov="' + text(rng, charset) + '"', "Mfg=" + text(rng, charset),
            "Desc=" + value(rng, charset, True)]
    return out


def ini_file(rng, charset):
    names = []
    out = []
    for _ in range(rng.randint(1, 5)):
        if out:
            out.append("")
        out.append("[" + section_name(rng, charset, names) + "]")
        out += [line(rng, charset, False) for _ in range(rng.randint(0, 6))]
    return out


def encode(rng, lines, charset):
    newline = "\r\n" if rng.random() < 0.8 else "\n"
    body = newline.join(lines) + newline
    if charset == "ascii" or charset == "ansi":
        return body.encode("cp1252")
    r = rng.random()
    if r < 0.6:
        return b"\xff\xfe" + body.encode("utf-16-le")
    return b"\xef\xbb\xbf" + body.encode("utf-8")


def main():
    folder, infs, inis = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rng = random.Random(int(sys.argv[4]) if len(sys.argv) > 4 else 1)
    for kind, count, make in (("inf", infs, inf_file), ("ini", inis, ini_file)):
        for i in range(count):
            charset = rng.choice(["ascii", "ansi", "wide", "wide"])
            lines = make(rng, charset)
            with open(f"{folder}/g{i:05d}.{kind}", "wb") as f:
                f.write(encode(rng, lines, charset))


if __name__ == "__main__":
    main()
