#!/usr/bin/env python3
"""Seed corpora for the fuzz targets, cut from a generated feed and the store
acquired from it.

    make_seeds.py HOME OUT

HOME holds the feed (HOME/JVLink) and the store acquired from it; OUT gets
one folder of seeds per target.
"""
import glob
import os
import struct
import sys

HOME, OUT = sys.argv[1], sys.argv[2]


def out(target, name, data):
    folder = os.path.join(OUT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def lines(data):
    return [l + b"\n" for l in data.split(b"\n") if l]


# routing: single records, a few of each type and data kind, and one race
# with its runners.
seen = {}
feed_records = []
for path in sorted(glob.glob(os.path.join(HOME, "JVLink", "*.jvd"))):
    with open(path, "rb") as f:
        feed_records += lines(f.read())
for rec in feed_records:
    key = rec[:3]
    if seen.get(key, 0) < 4:
        seen[key] = seen.get(key, 0) + 1
        out("routing", "%s_%d" % (key.decode("ascii", "replace").replace("/", "_"), seen[key]), rec)
ra = next(r for r in feed_records if r.startswith(b"RA"))
runners = [r for r in feed_records if r.startswith(b"SE") and r[11:27] == ra[11:27]]
out("routing", "race_with_runners", ra + b"".join(runners))

# store_tree: one meeting date with its first race only, and everything the
# loader reads for that race's runners.
ENTRY = b"@@@ "


def tree(files):
    return b"".join(ENTRY + name.encode("utf-8") + b"\n" + data for name, data in files)


def read(path):
    with open(path, "rb") as f:
        return f.read()


data_dir = os.path.join(HOME, "Data")
race_files = sorted(glob.glob(os.path.join(data_dir, "*.jvRA")))
for n, ra_path in enumerate(race_files[-2:]):
    label = os.path.basename(ra_path)[:-len(".jvRA")]
    first = lines(read(ra_path))[0]
    files = [("Data/" + label + ".jvRA", first)]
    venue_files = sorted(glob.glob(os.path.join(data_dir, label + "*.jvSEr")))
    runner_lines = []
    for p in venue_files:
        body = read(p)
        runner_lines += [l for l in lines(body) if l[11:27] == first[11:27]]
        if any(l[11:27] == first[11:27] for l in lines(body)):
            files.append(("Data/" + os.path.basename(p), body))
    for ext in (".jvHR", ".sps", ".yoz"):
        p = os.path.join(data_dir, label + ext)
        if os.path.exists(p):
            files.append(("Data/" + label + ext, read(p)))
    past_keys = set()
    jockeys, trainers = set(), set()
    for se in runner_lines:
        pedigree = se[30:40].decode("ascii", "replace")
        jockeys.add(se[296:301])
        trainers.add(se[85:90])
        for top in ("UM2", "SEI", "UMA"):
            for p in glob.glob(os.path.join(HOME, top, pedigree[:4], pedigree + ".*")):
                body = read(p)
                files.append((os.path.relpath(p, HOME), body))
                if top == "SEI":
                    past_keys |= {l[11:27] for l in lines(body)}
    for code_set, suffix, name in ((jockeys, "Kish.jvKS", "KSCH"), (trainers, "Chok.jvCH", "KSCH")):
        by_file = {}
        for code in code_set:
            by_file.setdefault(code[:3].decode("ascii", "replace") + suffix, set()).add(code)
        for fname, codes in sorted(by_file.items()):
            p = os.path.join(HOME, name, fname)
            if os.path.exists(p):
                kept = [l for l in lines(read(p)) if l[11:16] in codes]
                files.append((name + "/" + fname, b"".join(kept)))
    for p in race_files:
        if p == ra_path:
            continue
        kept = [l for l in lines(read(p)) if l[11:27] in past_keys]
        if kept:
            files.append(("Data/" + os.path.basename(p), b"".join(kept)))
    out("store_tree", "day_%d" % n, tree(files))
    if n == 0:
        # The same day without its horse files (the old-layout conversion
        # and the missing-file paths).
        out("store_tree", "day_without_um2",
            tree([f for f in files if not f[0].startswith("UM2/")]))

# settings: the settings file the acquisition left, and a hand-written one.
ini = os.path.join(HOME, "sorvix.ini")
if os.path.exists(ini):
    out("settings", "acquired", read(ini))
out("settings", "points",
    "[SignPoint]\r\nRed1=3\r\nGreen2=\"12\"\r\nSpecial1= 7 \r\n[YosoOz]\r\nSelect=1\r\n"
    "[JvDataGet]\r\nLastTime=2024/01/06 12:00:00\r\n[Text]\r\nname=｢名前｣\r\n".encode("cp932"))

# odds_import: the source files inside the generated archives (stored
# members, level-0 headers), with the kind byte and the date-source byte.
def lzh_members(data):
    at = 0
    while at + 22 <= len(data) and data[at] != 0:
        size = data[at]
        packed = struct.unpack_from("<I", data, at + 7)[0]
        name_len = data[at + 21]
        name = data[at + 22:at + 22 + name_len]
        body = data[at + 2 + size:at + 2 + size + packed]
        yield name, body
        at += 2 + size + packed


for path in sorted(glob.glob(os.path.join(HOME, "JVLink", "odds", "*.lzh"))):
    for name, body in lzh_members(read(path)):
        lower = name.lower()
        kind = 0 if lower.startswith(b"oz") else 1 if lower.endswith(b"kd2") else 2
        for source in (0, 1, 2):
            out("odds_import", "%s_%d" % (name.decode("ascii", "replace"), source),
                bytes([kind, source]) + body[:20000])
    out("lzh", os.path.basename(path), read(path))

# lzh: also a member whose name climbs out of the folder.
def lzh0(name, body):
    header = b"-lh0-" + struct.pack("<IIIBB", len(body), len(body), 0x58A56000, 0x20, 0)
    header += bytes([len(name)]) + name + struct.pack("<H", 0)
    return bytes([len(header), sum(header) & 0xFF]) + header + body


out("lzh", "escaping_name", lzh0(b"../escape.txt", b"outside\r\n") + b"\0")

# save_marks: whole, short, long and damaged files.
out("save_marks", "whole", b"0" * 640 + b"10000001")
out("save_marks", "short", b"0101")
out("save_marks", "long", b"1" * 700 + b"\r\n")
out("save_marks", "empty", b"")
