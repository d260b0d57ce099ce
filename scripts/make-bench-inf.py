#!/usr/bin/env python3
"""Writes a large printer INF for the INF engine benchmarks.

Usage: make-bench-inf.py <output> [models]

One maker with <models> models (50,000 by default) in one models section,
each model line with a %token% name, an install section and seven
hardware ids; a few install sections the models share; two source-file lists; a
[Strings] entry per model; comments between groups of models. ANSI with
CR LF line ends, about 19 MB for 50,000 models. (Like real INF files it
has few sections: a parser that looks sections up one by one is not put
at a disadvantage.)
"""
import sys

INSTALL_SECTIONS = ["INSTALL_PCL6", "INSTALL_PCL5", "INSTALL_PS", "INSTALL_XPS"]


def models_section(models):
    lines = ["[Contoso]"]
    for i in range(models):
        if i % 10 == 0:
            lines.append("; models %05d to %05d, sold from the year %d on" % (i, i + 9, 2000 + i % 20))
        ids = ", ".join("%s\\Contoso_Model_%05d%s" % (bus, i, suffix)
                        for bus, suffix in (("USBPRINT", "A1B2"), ("USBPRINT", "_Fax"), ("LPTENUM", "A1B2"),
                                            ("WSDPRINT", "_Network"), ("DOT4PRT", "_Dot4_Port"),
                                            ("SWD\\PRINTENUM", ""), ("IPP", "")))
        lines.append("%%Model%05d%% = %s, %s" % (i, INSTALL_SECTIONS[i % len(INSTALL_SECTIONS)], ids))
    return lines


def install_sections(models):
    lines = []
    for name in INSTALL_SECTIONS:
        lines += ["", "[%s]" % name, "CopyFiles=CONTOSO_FILES", "DataSection=UNIDRV_DATA",
                  "Include=ntprint.inf ; the system's own printer INF", "Needs=UNIDRV.OEM,TTFSUB.OEM"]
    lines += ["", "[CONTOSO_FILES]"]
    lines += ["CNTS%05d.GPD" % i for i in range(models)]
    lines += ["", "[SourceDisksFiles]"]
    lines += ["CNTS%05d.GPD = 1,,,\\gpd\\%02d" % (i, i % 100) for i in range(models)]
    return lines


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    output = sys.argv[1]
    models = int(sys.argv[2]) if len(sys.argv) == 3 else 50000
    lines = [
        "; Benchmark INF: one maker, many models",
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
    lines += models_section(models)
    lines += install_sections(models)
    lines += ["", "[Strings]", 'Mfg="Contoso"']
    lines += ['Model%05d = "Contoso LaserJet Model %05d PCL 6 (Benchmark Edition)"' % (i, i)
              for i in range(models)]
    with open(output, "wb") as out:
        out.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


if __name__ == "__main__":
    main()
