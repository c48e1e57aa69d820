#!/usr/bin/env python3
"""Recomputes sorvix-cli backtest from the per-date `analyze` output and the
stored runner and payout records, and compares the two figure by figure.

Usage: backtest_check.py SORVIX_CLI HOME [--source racehorse|odds]

It shares no code with the program: the marks, ranks and betting marks come
from `analyze DATE` (JSON), the finishes (異常区分 SE 332, 確定着順 SE 335)
from the stored RunnerFiles and the payouts from the stored PayoutFiles,
read here by their JV-Data positions.  Prints the differences and exits 1
when there are any; prints "一致" and exits 0 otherwise.
"""

import json
import os
import subprocess
import sys
from collections import defaultdict

SIGNS = ["Special1"] + [f"Red{i}" for i in range(1, 12)] + [f"Green{i}" for i in range(1, 7)] + \
        [f"Orange{i}" for i in range(1, 8)] + ["Blue1", "Yellow1", "HStimeS1"]
FAMILIES = {"red": "Red", "green": "Green", "orange": "Orange", "blue": "Blue", "yellow": "Yellow"}
RANKS = {"awayRank": "awayRank", "homeRank": "homeRank", "bracketRank": "bracketRank",
         "suiteiRank": "suiteiRank"}
BANDS = ["1", "2", "3", "4-5", "6+"]
VENUES = {"01": "札幌", "02": "函館", "03": "福島", "04": "新潟", "05": "東京", "06": "中山",
          "07": "中京", "08": "京都", "09": "阪神", "10": "小倉"}
SE_LEN, HR_LEN = 555, 719


def band(rank):
    if rank <= 0:
        return None
    if rank <= 3:
        return str(rank)
    return "4-5" if rank <= 5 else "6+"


def num(b):
    s = b.decode("ascii", "replace").strip()
    return int(s) if s.isdigit() else 0


def field(rec, pos, width):
    return rec[pos - 1:pos - 1 + width]


def new_group():
    return {"runners": 0, "wins": 0, "top2": 0, "top3": 0, "winReturn": 0, "placeReturn": 0,
            "placeBets": 0, "maxWin": 0, "maxPlace": 0}


def new_tally():
    return {
        "all": new_group(),
        "signs": {k: new_group() for k in SIGNS},
        "families": {k: new_group() for k in FAMILIES},
        "ranks": {k: {b: new_group() for b in BANDS} for k in RANKS},
        "marks": {"axis": new_group(), "partner": new_group()},
        "tickets": {k: {"tickets": 0, "hits": 0, "stake": 0, "return": 0, "maxReturn": 0,
                        "refunded": 0} for k in ["trio", "quinella", "wide", "exacta"]},
    }


def add_group(g, r):
    for k in g:
        g[k] = max(g[k], r[k]) if k.startswith("max") else g[k] + r[k]


def combos(hr, first, step, count, numbers):
    """(numbers tuple, payout) of the entries of a combination bet type."""
    out = []
    for e in range(count):
        at = first + step * e
        nums = tuple(num(field(hr, at + 2 * i, 2)) for i in range(numbers))
        payout = num(field(hr, at + 2 * numbers, 9))
        if all(n >= 1 for n in nums):
            out.append((nums, payout))
    return out


def tally_race(race, se_records, hr, tally):
    n = race["runners"]
    finish, scratched = {}, set()
    for h in range(1, n + 1):
        se = se_records[h - 1]
        abnormal = num(field(se, 332, 1))
        finish[h] = num(field(se, 335, 2))
        if 1 <= abnormal <= 3:
            scratched.add(h)
    wins = defaultdict(int)
    places = defaultdict(int)
    for e in range(3):
        wins[num(field(hr, 103 + 13 * e, 2))] += num(field(hr, 105 + 13 * e, 9))
    for e in range(5):
        places[num(field(hr, 142 + 13 * e, 2))] += num(field(hr, 144 + 13 * e, 9))

    carries = defaultdict(set)
    for row in race["ring"]:
        for key, mark in row["marks"].items():
            if mark != "":
                carries[row["horse"]].add(key)
    horses = {x["no"]: x for x in race["horses"]}
    place_sold = n - len(scratched) >= 5  # 複勝 needs five starters
    for h in range(1, n + 1):
        if h in scratched:
            continue
        p = finish[h]
        placed = places[h] if place_sold else 0
        r = {"runners": 1, "wins": int(p == 1), "top2": int(1 <= p <= 2), "top3": int(1 <= p <= 3),
             "winReturn": wins[h], "placeReturn": placed, "placeBets": int(place_sold),
             "maxWin": wins[h], "maxPlace": placed}
        add_group(tally["all"], r)
        for key in carries[h]:
            add_group(tally["signs"][key], r)
        for fam, prefix in FAMILIES.items():
            if any(k.startswith(prefix) for k in carries[h]):
                add_group(tally["families"][fam], r)
        x = horses[h]
        for key in RANKS:
            b = band(x[key])
            if b:
                add_group(tally["ranks"][key][b], r)
        if 1 <= x["axis"] <= 3:
            add_group(tally["marks"]["axis"], r)
        if x["partner"] == 1:
            add_group(tally["marks"]["partner"], r)

    axes = [h for h in range(1, n + 1) if horses[h]["axis"] == 1]
    partners = [h for h in range(1, n + 1) if horses[h]["partner"] > 0]
    pairs, ordered, triples = set(), set(), set()
    for a in axes:
        for p in partners:
            if a != p:
                pairs.add((min(a, p), max(a, p)))
                ordered.update({(a, p), (p, a)})
        for f in partners:
            for d in partners:
                if a != f and f != d and len({a, f, d}) == 3:
                    triples.add(tuple(sorted((a, f, d))))
    paid = {
        "quinella": (pairs, combos(hr, 246, 16, 3, 2)),
        "wide": (pairs, combos(hr, 294, 16, 7, 2)),
        "exacta": (ordered, combos(hr, 454, 16, 6, 2)),
        "trio": (triples, combos(hr, 550, 18, 3, 3)),
    }
    for bet, (tickets, entries) in paid.items():
        line = tally["tickets"][bet]
        for t in tickets:
            if any(h in scratched for h in t):
                line["refunded"] += 1
                continue
            line["tickets"] += 1
            line["stake"] += 100
            won = sum(pay for nums, pay in entries if nums == t)
            if won > 0:
                line["hits"] += 1
                line["return"] += won
                line["maxReturn"] = max(line["maxReturn"], won)


def merge(into, part):
    add_group(into["all"], part["all"])
    for section in ("signs", "families", "marks"):
        for k, g in part[section].items():
            add_group(into[section][k], g)
    for k, bands in part["ranks"].items():
        for b, g in bands.items():
            add_group(into["ranks"][k][b], g)
    for k, t in part["tickets"].items():
        for f in t:
            if f == "maxReturn":
                into["tickets"][k][f] = max(into["tickets"][k][f], t[f])
            else:
                into["tickets"][k][f] += t[f]


def cli(binary, home, *args):
    return subprocess.run([binary, "--home", home, *args], check=True, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL).stdout


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    binary, home = sys.argv[1], sys.argv[2]
    extra = sys.argv[3:]
    data = os.path.join(home, "Data")
    labels = sorted(cli(binary, home, "dates").decode("utf-8").split())

    total = new_tally()
    by_month, by_venue = defaultdict(new_tally), defaultdict(new_tally)
    dates = races = skipped = 0
    for label in labels:
        # The estimate as the backtest takes it: counts before the meeting.
        day = json.loads(cli(binary, home, "analyze", label, "--before-meeting",
                             *extra_ini(extra)))
        dates += 1
        month = label[0:4] + "-" + label[5:7]
        by_month[month]  # every loaded date has its month
        hr_path = os.path.join(data, label + ".jvHR")
        hr_records = {}
        if os.path.exists(hr_path):
            raw = open(hr_path, "rb").read()
            for i in range(min(len(raw) // HR_LEN, 36)):
                rec = raw[i * HR_LEN:(i + 1) * HR_LEN]
                hr_records.setdefault(field(rec, 12, 16).decode("ascii", "replace"), rec)
        for race in day["races"]:
            n = race["runners"]
            hr = hr_records.get(race["key"])
            venue = VENUES.get(race["venue"], race["venue"])
            se_path = os.path.join(data, label + venue + ".jvSEr")
            se_records = []
            if os.path.exists(se_path) and n > 0:
                raw = open(se_path, "rb").read()
                base = (race["race"] - 1) * 18
                se_records = [raw[(base + h) * SE_LEN:(base + h + 1) * SE_LEN] for h in range(n)]
            if hr is None or n <= 0 or len(se_records) < n or \
                    not any(num(field(se, 335, 2)) >= 1 for se in se_records):
                skipped += 1
                continue
            races += 1
            part = new_tally()
            tally_race(race, se_records, hr, part)
            merge(total, part)
            merge(by_month[month], part)
            merge(by_venue[venue], part)

    failures = []
    for by, expected_parts in (("month", by_month), ("venue", by_venue)):
        got = json.loads(cli(binary, home, "backtest", "--format", "json", "--by", by, *extra))
        for key, want in (("dates", dates), ("races", races), ("skipped", skipped)):
            if got[key] != want:
                failures.append(f"{key}: backtest {got[key]}, script {want}")
        compare(failures, "全体", got, total)
        if sorted(got["by"]) != sorted(expected_parts):
            failures.append(f"by {by}: {sorted(got['by'])} != {sorted(expected_parts)}")
        for key, part in expected_parts.items():
            if key in got["by"]:
                compare(failures, key, got["by"][key], part)
    if failures:
        print("\n".join(failures[:50]))
        print(f"{len(failures)} 件の相違")
        return 1
    print(f"一致: {dates} 開催日, {races} レース, 結果なし {skipped}")
    return 0


def extra_ini(extra):
    return [a for i, a in enumerate(extra) if a == "--ini" or (i > 0 and extra[i - 1] == "--ini")]


def compare(failures, scope, got, want):
    if got["all"] != want["all"]:
        failures.append(f"{scope} all: backtest {got['all']}, script {want['all']}")
    for section in ("signs", "families", "marks", "tickets"):
        for key, values in want[section].items():
            if got[section][key] != values:
                failures.append(f"{scope} {section} {key}: backtest {got[section][key]}, script {values}")
    for key, bands in want["ranks"].items():
        for b, values in bands.items():
            if got["ranks"][key][b] != values:
                failures.append(f"{scope} ranks {key} {b}: backtest {got['ranks'][key][b]}, script {values}")


if __name__ == "__main__":
    sys.exit(main())
