#!/usr/bin/env python3
"""Writes the INF benchmark corpus: printer INFs of the shapes vendors ship,
each in several sizes, all generated (no third-party files).

Usage: make-bench-corpus.py <folder> [MB ...]      (sizes: 1 10 50 by default)

Shapes (file <shape>-<MB>mb.inf):
  long      the long-line shape the benchmark always had: seven hardware ids on
            each model line, a [Strings] entry per model
  short     one short line per model, per file and per source disk entry:
            many models and files
  strings   a large [Strings] section, and a %key% on most lines
  sections  many small sections: an install section and its .Services and
            .HW parts per model
  utf16     the short shape in UTF-16LE with byte-order mark (its size is
            the file's, so it holds half the lines of the ANSI one)
The same arguments always give the same files.
"""
import os
import sys

HEADER = [
    "; Benchmark INF corpus: one maker, many models",
    "[Version]",
    'Signature="$Windows NT$"',
    "Class=Printer",
    "ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}",
    "Provider=%Mfg%",
    "LayoutFile=ntprint.inf",
    "DriverVer=06/21/2006,6.0.6000.16384",
    "",
    "[Manufacturer]",
    "%Mfg%=Contoso",
    "",
]
BUSES = (("USBPRINT", "A1B2"), ("USBPRINT", "_Fax"), ("LPTENUM", "A1B2"), ("WSDPRINT", "_Network"),
         ("DOT4PRT", "_Dot4_Port"), ("SWD\\PRINTENUM", ""), ("IPP", ""))
INSTALLS = ["INSTALL_PCL6", "INSTALL_PCL5", "INSTALL_PS", "INSTALL_XPS"]


def long_shape(n):
    lines = ["[Contoso]"]
    for i in range(n):
        if i % 10 == 0:
            lines.append("; models %05d to %05d, sold from the year %d on" % (i, i + 9, 2000 + i % 20))
        ids = ", ".join("%s\\Contoso_Model_%05d%s" % (bus, i, suffix) for bus, suffix in BUSES)
        lines.append("%%Model%05d%% = %s, %s" % (i, INSTALLS[i % 4], ids))
    for name in INSTALLS:
        lines += ["", "[%s]" % name, "CopyFiles=CONTOSO_FILES", "DataSection=UNIDRV_DATA",
                  "Include=ntprint.inf ; the system's own printer INF", "Needs=UNIDRV.OEM,TTFSUB.OEM"]
    lines += ["", "[CONTOSO_FILES]"] + ["CNTS%05d.GPD" % i for i in range(n)]
    lines += ["", "[SourceDisksFiles]"] + ["CNTS%05d.GPD = 1,,,\\gpd\\%02d" % (i, i % 100) for i in range(n)]
    lines += ["", "[Strings]", 'Mfg="Contoso"']
    lines += ['Model%05d = "Contoso LaserJet Model %05d PCL 6 (Benchmark Edition)"' % (i, i) for i in range(n)]
    return lines


def short_shape(n):
    lines = ["[Contoso]"]
    lines += ['"Contoso P%06d" = %s,USBPRINT\\CNTSP%06d' % (i, INSTALLS[i % 4], i) for i in range(n)]
    for name in INSTALLS:
        lines += ["", "[%s]" % name, "CopyFiles=CONTOSO_FILES", "DataFile=CNTS.GPD"]
    lines += ["", "[CONTOSO_FILES]"] + ["CN%06d.GPD" % i for i in range(n)]
    lines += ["", "[SourceDisksFiles]"] + ["CN%06d.GPD=1" % i for i in range(n)]
    lines += ["", "[Strings]", "Mfg=Contoso"]
    return lines


def strings_shape(n):
    lines = ["[Contoso]"]
    lines += ["%%M%06d%% = %%I%d%%,%%H%06d%%" % (i, i % 4, i) for i in range(n)]
    for k, name in enumerate(INSTALLS):
        lines += ["", "[%s]" % name, "CopyFiles=%%Files%d%%" % k, "DataFile=%GPD%"]
    lines += ["", "[Strings]", "Mfg=Contoso", "GPD=CNTS.GPD"]
    lines += ["I%d=%s" % (k, name) for k, name in enumerate(INSTALLS)]
    lines += ["Files%d=CONTOSO_FILES" % k for k in range(4)]
    lines += ['M%06d="Contoso LaserJet %06d"' % (i, i) for i in range(n)]
    lines += ["H%06d=USBPRINT\\CNTS%06d" % (i, i) for i in range(n)]
    return lines


def sections_shape(n):
    lines = ["[Contoso]"]
    lines += ['"Contoso S%06d" = I%06d,USBPRINT\\CNTSS%06d' % (i, i, i) for i in range(n)]
    for i in range(n):
        lines += ["[I%06d]" % i, "CopyFiles=F%06d" % i, "[I%06d.Services]" % i, "AddService=,2",
                  "[I%06d.HW]" % i, "AddReg=R%06d" % i, "[F%06d]" % i, "CN%06d.GPD" % i]
    lines += ["", "[Strings]", "Mfg=Contoso"]
    return lines


SHAPES = {"long": long_shape, "short": short_shape, "strings": strings_shape, "sections": sections_shape,
          "utf16": short_shape}


def encode(shape, lines):
    text = "\r\n".join(HEADER + lines) + "\r\n"
    return b"\xff\xfe" + text.encode("utf-16-le") if shape == "utf16" else text.encode("ascii")


def write(path, shape, size):
    sample = 2000
    per_model = len(encode(shape, SHAPES[shape](sample))) / sample
    data = encode(shape, SHAPES[shape](max(1, int(size / per_model))))
    with open(path, "wb") as out:
        out.write(data)
    return len(data)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    sizes = [int(mb) for mb in sys.argv[2:]] or [1, 10, 50]
    os.makedirs(folder, exist_ok=True)
    for shape in SHAPES:
        for mb in sizes:
            name = "%s-%dmb.inf" % (shape, mb)
            written = write(os.path.join(folder, name), shape, mb * 1000 * 1000)
            print("%-18s %10d bytes" % (name, written))


if __name__ == "__main__":
    main()
