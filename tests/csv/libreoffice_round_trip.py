#!/usr/bin/env python3
"""Every kind of CSV the program writes, opened in LibreOffice Calc.

Makes a small store from the feed generator, writes the four tables of a
date (出馬表, サイン表, 結果表, 買い目表: what CSV保存 writes, and
`sorvix-cli analyze --csv`) and the サイン検証 CSV (`sorvix-cli backtest
--format csv`), opens them all in LibreOffice headless with Japanese
settings and special numbers (dates, times) detected, and reads every cell
back: a text cell must come back as the same text, a number as the same
number.  A combination "1-15" turned into a date fails the test.

  libreoffice_round_trip.py FEEDGEN CLI WORKDIR
"""
import csv
import io
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

NS = {
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
}
# Comma, double quote, UTF-8, from line 1, no column formats, Japanese,
# quoted fields not forced to text, special numbers (dates, times) detected.
IN_FILTER = "CSV:44,34,76,1,,1041,false,true"


def run(args, **kw):
    return subprocess.run(args, check=True, capture_output=True, **kw).stdout


def meant(cell):
    """What a cell as written means: the text of ="…", else itself."""
    if cell.startswith('="') and cell.endswith('"'):
        return cell[2:-1].replace('""', '"')
    return cell


def written_cells(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        return [[meant(c) for c in row] for row in csv.reader(f)]


def read_back(fods):
    rows = []
    for row in ET.parse(fods).iter("{%s}table-row" % NS["table"]):
        repeat = int(row.get("{%s}number-rows-repeated" % NS["table"], "1"))
        cells = []
        for c in row.findall("table:table-cell", NS):
            n = int(c.get("{%s}number-columns-repeated" % NS["table"], "1"))
            kind = c.get("{%s}value-type" % NS["office"])
            value = c.get("{%s}value" % NS["office"])
            text = "\n".join("".join(p.itertext()) for p in c.findall("text:p", NS))
            cells += [(kind, value, text)] * min(n, 100)
        empty = all(kind is None for kind, _, _ in cells)
        rows += [cells] * (1 if empty else repeat)
    return rows


PLAIN_NUMBER = re.compile(r"-?(0|[1-9][0-9]*)(\.[0-9]+)?")


def same(expected, got):
    kind, value, text = got
    if expected == "":
        return kind is None
    if PLAIN_NUMBER.fullmatch(expected):
        return kind == "float" and float(value) == float(expected)
    return kind == "string" and text == expected


def main():
    feedgen, cli, work = sys.argv[1:4]
    if not shutil.which("soffice"):
        print("soffice (libreoffice-calc-nogui) is not installed")
        return 77
    shutil.rmtree(work, ignore_errors=True)
    home = os.path.join(work, "home")
    out = os.path.join(work, "csv")
    os.makedirs(out)
    run([feedgen, "--out", os.path.join(home, "JVLink"), "--from", "2024-01-06", "--days", "2",
         "--seed", "7", "--legacy-uma", home, "--history-weeks", "2", "--old-weeks", "1"])
    run([cli, "--home", home, "acquire", "--setup", "--from", "2023-01-01"])
    date = run([cli, "--home", home, "dates"]).decode().split()[0]
    files = []
    for i, table in enumerate(["出馬表", "サイン表", "結果表", "買い目表"]):
        path = os.path.join(out, "table%d.csv" % i)
        with open(path, "wb") as f:
            f.write(run([cli, "--home", home, "analyze", date, "--csv", "--csv-table", table]))
        files.append(path)
    for by in ["month", "venue"]:
        path = os.path.join(out, "backtest-%s.csv" % by)
        with open(path, "wb") as f:
            f.write(run([cli, "--home", home, "backtest", "--format", "csv", "--by", by]))
        files.append(path)
    env = dict(os.environ, HOME=os.path.join(work, "office-profile"))
    run(["soffice", "--headless", "--norestore", "--infilter=" + IN_FILTER, "--convert-to",
         "fods", "--outdir", os.path.join(work, "fods")] + files, env=env)

    failures = []
    for path in files:
        fods = os.path.join(work, "fods", os.path.basename(path)[:-3] + "fods")
        expected = written_cells(path)
        got = read_back(fods)
        for r, row in enumerate(expected):
            for c, cell in enumerate(row):
                cell_got = got[r][c] if r < len(got) and c < len(got[r]) else (None, None, "")
                if not same(cell, cell_got):
                    failures.append("%s %d:%d: wrote %r, Calc read %r" %
                                    (os.path.basename(path), r + 1, c + 1, cell, cell_got))
        print("%s: %d rows checked" % (os.path.basename(path), len(expected)))
    for f in failures[:40]:
        print(f)
    if failures:
        print("%d cells changed" % len(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
