#!/usr/bin/env python3
"""Checks an SQLite export of sorvix-cli against `analyze` and `backtest`.

Usage: export_check.py SORVIX_CLI HOME FILE racehorse|odds

By SQL queries a user would write, it compares the file with:
- `backtest --format json --source SOURCE` over the dates of the file: the
  counted races, and for every sign, family, rank band, mark and bet type
  the runners, wins, top-2 and top-3 finishes, the win and place return and
  the tickets bought, hit, staked, returned and refunded (サイン検証's
  per-sign win return among them);
- with the odds source (which loads a date the same way in both), `analyze
  DATE` (JSON) for each date: every race, ring row and sign sum, every
  runner's signs with their marks, sign index and ranks, the estimate, its
  rank and the axis and partner marks (the racehorse source's estimate is
  the one as of the date, which `analyze` does not give; the signs and the
  sign index do not depend on the source);
- the stored PayoutFiles, read here by their JV-Data positions: every
  payout.
Prints the differences and exits 1 when there are any; prints "一致" and
exits 0 otherwise.
"""

import json
import os
import sqlite3
import subprocess
import sys
import tempfile

from backtest_check import BANDS, FAMILIES, SIGNS, HR_LEN, field, num

RANK_COLUMNS = {"awayRank": "away_rank", "homeRank": "home_rank", "bracketRank": "bracket_rank",
                "suiteiRank": "estimate_rank"}
BET_TYPES = ["trio", "quinella", "wide", "exacta"]

# Runners that count, with their win and place return: what a user writes
# first (the view runner_returns of the file holds the same).
COUNTED = """
SELECT u.race_key, u.horse_number, u.final_position AS pos,
  (SELECT COALESCE(SUM(payout), 0) FROM payouts p WHERE p.race_key = u.race_key
     AND p.bet_type = 'win' AND p.number1 = u.horse_number) AS win_return,
  (SELECT COALESCE(SUM(payout), 0) FROM payouts p WHERE p.race_key = u.race_key
     AND p.bet_type = 'place' AND p.number1 = u.horse_number) AS place_return,
  u.away_rank, u.home_rank, u.bracket_rank, u.estimate_rank, u.axis_mark, u.partner_mark
FROM runners u JOIN races r USING (race_key)
WHERE r.has_results = 1 AND u.abnormal_code NOT IN (1, 2, 3)
"""

GROUP = """COUNT(*), SUM(pos = 1), SUM(pos BETWEEN 1 AND 2), SUM(pos BETWEEN 1 AND 3),
  SUM(win_return), SUM(place_return)"""
GROUP_KEYS = ["runners", "wins", "top2", "top3", "winReturn", "placeReturn"]


def group(row):
    return {k: (v or 0) for k, v in zip(GROUP_KEYS, row)}


def sql_tally(db, odds=False):
    db.execute(f"CREATE TEMP VIEW counted AS {COUNTED}")
    t = {"signs": {}, "families": {}, "ranks": {}, "marks": {}, "tickets": {}}
    # サイン検証's per-sign table: runners, wins and the 単勝 return of each sign.
    for sign, *row in db.execute(f"""SELECT s.sign, {GROUP} FROM signs s
                                     JOIN counted c USING (race_key, horse_number)
                                     GROUP BY s.sign"""):
        t["signs"][sign] = group(row)
    for fam, prefix in FAMILIES.items():
        t["families"][fam] = group(db.execute(f"""SELECT {GROUP} FROM counted c WHERE EXISTS
            (SELECT 1 FROM signs s JOIN sign_names n USING (sign) WHERE s.race_key = c.race_key
             AND s.horse_number = c.horse_number AND n.sign LIKE '{prefix}%')""").fetchone())
    bands = {"1": "= 1", "2": "= 2", "3": "= 3", "4-5": "BETWEEN 4 AND 5", "6+": ">= 6"}
    for key, column in RANK_COLUMNS.items():
        t["ranks"][key] = {b: group(db.execute(
            f"SELECT {GROUP} FROM counted WHERE {column} {cond}").fetchone())
            for b, cond in bands.items()}
    t["marks"]["axis"] = group(db.execute(
        f"SELECT {GROUP} FROM counted WHERE axis_mark BETWEEN 1 AND 3").fetchone())
    # With the predicted odds, ○ counts only in races that had odds (a
    # runner ranked by them).
    had_odds = """ AND EXISTS (SELECT 1 FROM runners o WHERE o.race_key = counted.race_key
                                AND o.estimate_rank > 0)""" if odds else ""
    t["marks"]["partner"] = group(db.execute(
        f"SELECT {GROUP} FROM counted WHERE partner_mark = 1{had_odds}").fetchone())
    for bet in BET_TYPES:
        row = db.execute("""SELECT SUM(refunded = 0), SUM(payout > 0), SUM(stake), SUM(payout),
                              MAX(payout), SUM(refunded)
                            FROM tickets JOIN races USING (race_key)
                            WHERE has_results = 1 AND bet_type = ?""", (bet,)).fetchone()
        t["tickets"][bet] = dict(zip(["tickets", "hits", "stake", "return", "maxReturn",
                                      "refunded"], [v or 0 for v in row]))
    return t


def compare_backtest(failures, db, got, odds=False):
    counts = db.execute("""SELECT (SELECT COUNT(*) FROM meeting_days),
        (SELECT COUNT(*) FROM races WHERE has_results = 1),
        (SELECT COUNT(*) FROM races WHERE has_results = 0)""").fetchone()
    for key, value in zip(("dates", "races", "skipped"), counts):
        if got[key] != value:
            failures.append(f"{key}: backtest {got[key]}, SQL {value}")
    want = sql_tally(db, odds)
    for section in ("signs", "families", "marks", "tickets"):
        for key, values in got[section].items():
            mine = want[section].get(key, {k: 0 for k in values})
            # The figures this file computes (the backtest has more).
            values = {k: v for k, v in values.items() if k in mine}
            if mine != values:
                failures.append(f"{section} {key}: backtest {values}, SQL {mine}")
    for key, bands in got["ranks"].items():
        for b in BANDS:
            mine = want["ranks"][key][b]
            if {k: v for k, v in bands[b].items() if k in mine} != mine:
                failures.append(f"ranks {key} {b}: backtest {bands[b]}, SQL {want['ranks'][key][b]}")


def compare_day(failures, db, day, date, odds):
    races = {r[0]: r for r in db.execute(
        "SELECT race_key, list_row, venue_code, race_number, runners FROM races WHERE date = ?",
        (date,))}
    if len(races) != len(day["races"]):
        failures.append(f"{date}: races SQL {len(races)}, analyze {len(day['races'])}")
    for race in day["races"]:
        key = race["key"]
        got = races.get(key)
        want = (key, race["slot"], race["venue"], race["race"], race["runners"])
        if got != want:
            failures.append(f"{key}: race SQL {got}, analyze {want}")
            continue
        ring = [(r["horse"], r["sum"]) for r in race["ring"]]
        mine = list(db.execute("SELECT horse_number, sign_sum FROM ring_rows WHERE race_key = ? "
                               "ORDER BY ring_row", (key,)))
        if ring != mine:
            failures.append(f"{key}: ring rows SQL {mine}, analyze {ring}")
        signs = {}
        for row in race["ring"]:
            for sign, mark in row["marks"].items():
                if mark != "":
                    signs.setdefault((row["horse"], sign), mark)
        mine = {(h, s): m for h, s, m in db.execute(
            "SELECT horse_number, sign, mark FROM signs WHERE race_key = ?", (key,))}
        if signs != mine:
            failures.append(f"{key}: signs SQL {sorted(mine.items())}, analyze {sorted(signs.items())}")
        compare_horses(failures, db, key, race["horses"], odds)


def compare_horses(failures, db, key, horses, odds):
    columns = "away_index, home_index, bracket_average, bracket_rank, away_rank, home_rank"
    names = ["away", "home", "bracketAverage", "bracketRank", "awayRank", "homeRank"]
    if odds:
        columns += ", round(estimate, 5), estimate_rank, axis_mark, partner_mark"
        names += ["suitei", "suiteiRank", "axis", "partner"]
    rows = {r[0]: list(r[1:]) for r in db.execute(
        f"SELECT horse_number, {columns} FROM runners WHERE race_key = ?", (key,))}
    for h in horses:
        want = [round(h[n], 5) if n == "suitei" else h[n] for n in names]
        if rows.get(h["no"]) != want:
            failures.append(f"{key} {h['no']}: runner SQL {rows.get(h['no'])}, analyze {want}")


def compare_payouts(failures, db, home, dates):
    """Every payout of the file against the stored PayoutFiles."""
    layout = {"win": (103, 13, 3, 1), "place": (142, 13, 5, 1), "quinella": (246, 16, 3, 2),
              "wide": (294, 16, 7, 2), "exacta": (454, 16, 6, 2), "trio": (550, 18, 3, 3),
              "trifecta": (604, 19, 6, 3)}
    keys = {r[0] for r in db.execute("SELECT race_key FROM races")}
    want = set()
    for date in dates:
        label = f"{date[0:4]}年{date[5:7]}月{date[8:10]}日"
        path = os.path.join(home, "Data", label + ".jvHR")
        if not os.path.exists(path):
            continue
        raw = open(path, "rb").read()
        for i in range(min(len(raw) // HR_LEN, 36)):
            hr = raw[i * HR_LEN:(i + 1) * HR_LEN]
            key = field(hr, 12, 16).decode("ascii", "replace")
            if key not in keys:
                continue
            for bet, (first, step, count, n) in layout.items():
                for e in range(count):
                    at = first + step * e
                    nums = tuple(num(field(hr, at + 2 * j, 2)) for j in range(n))
                    if all(x >= 1 for x in nums):
                        want.add((key, bet, "-".join(map(str, nums)),
                                  num(field(hr, at + 2 * n, 9))))
    mine = set(db.execute("SELECT race_key, bet_type, combination, payout FROM payouts "
                          "WHERE bet_type != 'bracket_quinella'"))
    if mine != want:
        failures.append(f"payouts: only in SQL {sorted(mine - want)[:5]}, "
                        f"only stored {sorted(want - mine)[:5]}")


def cli(binary, home, *args):
    return subprocess.run([binary, "--home", home, *args], check=True, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL).stdout


def main():
    if len(sys.argv) != 5:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    binary, home, path, source = sys.argv[1:]
    db = sqlite3.connect(path)
    failures = []
    stored = db.execute("SELECT value FROM export_info WHERE key = 'source'").fetchone()[0]
    if stored != source:
        failures.append(f"source: file {stored}, asked {source}")
    dates = [r[0] for r in db.execute("SELECT date FROM meeting_days ORDER BY date")]
    got = json.loads(cli(binary, home, "backtest", "--format", "json", "--source", source,
                         "--from", dates[0], "--to", dates[-1]))
    compare_backtest(failures, db, got, source == "odds")
    with tempfile.TemporaryDirectory() as tmp:
        ini = os.path.join(tmp, "source.ini")
        with open(ini, "w") as f:
            f.write("[YosoOz]\r\nSelect=1\r\n")
        for date in dates if source == "odds" else []:
            day = json.loads(cli(binary, home, "analyze", date, "--ini", ini))
            compare_day(failures, db, day, date, True)
    compare_payouts(failures, db, home, dates)
    if failures:
        print("\n".join(failures[:40]))
        print(f"{len(failures)} 件の相違")
        return 1
    print(f"一致: {len(dates)} 開催日")
    return 0


if __name__ == "__main__":
    sys.exit(main())
