#!/usr/bin/env python3
"""Runs sorvix-bench and prints each benchmark's time next to its floor.

Usage: bench/ratios.py PATH/TO/sorvix-bench [extra benchmark arguments]

The ratios compare times measured in the same run: a day's load against
reading the files it touches, the analysis (load with analysis minus the
plain load) against the load, the analysis timed alone against the load,
the backtest of the demo's dates on two workers against loading and
analysing them one after the other, the SQLite export of ten seasons
against their backtest (the same loads, without the writing), one
candidate's scoring from the kept counts against one backtest of the same
dates, and a year's acquisition against
copying the data files it reads.
"""

import json
import subprocess
import sys

# (row name, benchmark, benchmark subtracted from it or None, floor row name)
ROWS = [
    ("day load floor (read files once)", "BM_DayLoadFloor", None, None),
    ("day load (36 races)", "BM_DayLoad", None, "day load floor (read files once)"),
    ("day analysis", "BM_DayLoadAndAnalysis", "BM_DayLoad", "day load (36 races)"),
    ("day load + analysis", "BM_DayLoadAndAnalysis", None, "day load floor (read files once)"),
    ("day analysis (alone)", "BM_DayAnalysis", None, "day load (36 races)"),
    ("demo dates, load + analysis, serial", "BM_DemoDatesSerial/real_time", None, None),
    ("demo backtest, 2 workers", "BM_BacktestDemo/real_time", None,
     "demo dates, load + analysis, serial"),
    ("ten seasons backtest, 2 workers", "BM_BacktestTenSeasons/real_time", None, None),
    ("ten seasons SQLite export, 2 workers", "BM_ExportTenSeasons/real_time", None,
     "ten seasons backtest, 2 workers"),
    ("demo backtest (one candidate)", "BM_TuneBacktestOfOneCandidate/real_time", None, None),
    ("demo candidate from kept counts", "BM_TuneScoreOneCandidate/real_time", None,
     "demo backtest (one candidate)"),
    ("ten seasons tuning, 1,000 candidates", "BM_TuneTenSeasons/real_time", None, None),
    ("year copy floor (read + write)", "BM_YearCopyFloor", None, None),
    ("year acquisition (setup)", "BM_YearAcquisition", None, "year copy floor (read + write)"),
    ("ring card PDF writing", "BM_Pdf/ring", None, None),
    ("ring card recording", "BM_Record/ring", None, "ring card PDF writing"),
    ("continuous card PDF writing", "BM_Pdf/continuous", None, None),
    ("continuous card recording", "BM_Record/continuous", None, "continuous card PDF writing"),
    ("batch ring PDF writing", "BM_Pdf/batch", None, None),
    ("batch ring recording", "BM_Record/batch", None, "batch ring PDF writing"),
]

TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def run(binary, extra):
    out = subprocess.run([binary, "--benchmark_format=json", *extra],
                         check=True, stdout=subprocess.PIPE).stdout
    report = json.loads(out)
    found = {}
    for b in report["benchmarks"]:
        if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
            continue
        name = b["run_name"] if "run_name" in b else b["name"]
        # Keep a capture name ("BM_Pdf/ring"), drop arguments ("iterations:1").
        name = "/".join(p for p in name.split("/") if ":" not in p and not p.isdigit())
        scale = TO_MS[b.get("time_unit", "ns")]
        found[name] = {"real": b["real_time"] * scale, "cpu": b["cpu_time"] * scale, "raw": b}
    return found


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    found = run(sys.argv[1], sys.argv[2:])
    rows = {}
    for label, name, minus, floor in ROWS:
        if name not in found or (minus and minus not in found):
            continue
        real, cpu = found[name]["real"], found[name]["cpu"]
        if minus:
            real -= found[minus]["real"]
            cpu -= found[minus]["cpu"]
        rows[label] = (real, cpu, floor)

    header = f"{'benchmark':36} {'wall ms':>10} {'cpu ms':>10} {'x floor (wall)':>15} {'x floor (cpu)':>14}"
    print(header)
    print("-" * len(header))
    for label, (real, cpu, floor) in rows.items():
        ratio_real = ratio_cpu = ""
        if floor in rows and rows[floor][0] > 0 and rows[floor][1] > 0:
            ratio_real = f"{real / rows[floor][0]:.2f}"
            ratio_cpu = f"{cpu / rows[floor][1]:.2f}"
        print(f"{label:36} {real:10.2f} {cpu:10.2f} {ratio_real:>15} {ratio_cpu:>14}")

    acq = found.get("BM_YearAcquisition")
    if acq:
        raw = acq["raw"]
        print()
        print(f"year acquisition: {int(raw.get('records', 0))} records, "
              f"{raw.get('records_per_second', 0):.0f} records per second")
    ten = found.get("BM_BacktestTenSeasons/real_time")
    if ten:
        raw = ten["raw"]
        print(f"ten seasons backtest: {int(raw.get('dates', 0))} dates, {int(raw.get('races', 0))} "
              f"races, {ten['real'] / 1000:.1f} s, peak resident {raw.get('maxrss_mb', 0):.0f} MB")
    export = found.get("BM_ExportTenSeasons/real_time")
    if export:
        raw = export["raw"]
        print(f"ten seasons SQLite export: {int(raw.get('dates', 0))} dates, "
              f"{int(raw.get('runners', 0))} runners, {export['real'] / 1000:.1f} s, "
              f"file {raw.get('file_mb', 0):.0f} MB")
    missing = [name for _, name, _, _ in ROWS if name not in found]
    if missing:
        print("missing or failed: " + ", ".join(sorted(set(missing))), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
