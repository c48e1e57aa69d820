#!/usr/bin/env python3
"""Checks that two builds of Sorvix behave identically on the demo data.

    tools/check-identical.py BEFORE AFTER [--work DIR] [--dates N]

BEFORE and AFTER are each a build folder (one with a CMakeCache.txt, whose
sorvix-cli, sorvix-feedgen and sorvix-pagedump targets are brought up to
date first) or a git revision of this repository (`main`, a commit), which
is exported and built once into build/identical/<commit>/ (GUI and tests
off).  A revision older than the page dump tool gets the tool as it was
first committed, which compiles against the core as it was then.

With each build, in a home folder of its own under the work folder
(build/identical/run by default):

  1. the demo feed (sorvix-feedgen --demo) and the store acquired from it
     (sorvix-cli acquire --setup), then every predicted-odds archive of the
     feed imported (sorvix-cli import-odds);
  2. `sorvix-cli dates`, and for every date `analyze` (the JSON), `load` and
     `hits` (with and without --big), and over all dates `backtest --format
     json` (its stdout: the progress on stderr follows the workers' timing);
  3. the recorded pages of the ring race card, the batch ring table and the
     continuous race card (both block orders), for the whole day and venue
     by venue, of every date (sorvix-pagedump).

Then it compares byte for byte: every file of the two homes as left after
step 1 (the feed and the store), the output and exit status of every
command of step 2 (with the home folder's path taken out), and every page
dump of step 3.  It prints what differs
and exits 0 when everything is identical, 1 when something differs, 2 when
a build or a step fails.
"""

import argparse
import hashlib
import os
import shutil
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
TARGETS = ["sorvix-cli", "sorvix-feedgen", "sorvix-pagedump"]
PAGEDUMP_DIR = "tools/pagedump"


class Failure(Exception):
    pass


def run(cmd, cwd=None, env=None, check=True, capture=True):
    result = subprocess.run(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE if capture else None,
                            stderr=subprocess.PIPE if capture else None)
    if check and result.returncode != 0:
        err = result.stderr.decode("utf-8", "replace")[-2000:] if capture else ""
        raise Failure(f"failed ({result.returncode}): {' '.join(map(str, cmd))}\n{err}")
    return result


def git(*args):
    return run(["git", "-C", str(ROOT), *args]).stdout.decode().strip()


def build_env(source):
    env = dict(os.environ)
    if shutil.which("ccache"):
        env["CCACHE_BASEDIR"] = str(source)
        env["CCACHE_NOHASHDIR"] = "1"
    return env


def build_targets(build_dir, source):
    print(f"== building {', '.join(TARGETS)} in {build_dir}", flush=True)
    run(["nice", "cmake", "--build", str(build_dir), "-j", str(os.cpu_count() or 2), "--target",
         *TARGETS], env=build_env(source), capture=False)


def graft_pagedump(source):
    """Adds the page dump tool, as first committed, to an older tree."""
    added = git("log", "--diff-filter=A", "--format=%H", "--", f"{PAGEDUMP_DIR}/main.cpp")
    commit = added.splitlines()[-1] if added else None
    target = source / PAGEDUMP_DIR
    target.mkdir(parents=True)
    for name in ("CMakeLists.txt", "main.cpp"):
        if commit:
            data = run(["git", "-C", str(ROOT), "show", f"{commit}:{PAGEDUMP_DIR}/{name}"]).stdout
        else:  # not committed yet: the working tree's
            data = (ROOT / PAGEDUMP_DIR / name).read_bytes()
        (target / name).write_bytes(data)
    with open(source / "CMakeLists.txt", "a", encoding="utf-8") as f:
        f.write(f"\nadd_subdirectory({PAGEDUMP_DIR})\n")


def build_revision(rev, cache):
    commit = git("rev-parse", "--verify", f"{rev}^{{commit}}")
    base = cache / commit[:12]
    source, build = base / "src", base / "build"
    if not (source / "CMakeLists.txt").exists():
        print(f"== exporting {rev} ({commit[:12]}) to {source}", flush=True)
        tmp = base / "src.tmp"
        shutil.rmtree(tmp, ignore_errors=True)
        tmp.mkdir(parents=True)
        archive = run(["git", "-C", str(ROOT), "archive", commit]).stdout
        subprocess.run(["tar", "-x", "-C", str(tmp)], input=archive, check=True)
        if not (tmp / PAGEDUMP_DIR).exists():
            graft_pagedump(tmp)
        tmp.rename(source)
    if not (build / "CMakeCache.txt").exists():
        opts = ["-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DSORVIX_GUI=OFF", "-DSORVIX_TESTS=OFF"]
        if shutil.which("ccache"):
            opts += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
        if shutil.which("ninja"):
            opts += ["-G", "Ninja"]
        run(["cmake", "-S", str(source), "-B", str(build), *opts])
    build_targets(build, source)
    return build


def prepare(spec, cache):
    path = Path(spec)
    if (path / "CMakeCache.txt").exists():
        source = None
        for line in (path / "CMakeCache.txt").read_text(errors="replace").splitlines():
            if line.startswith("CMAKE_HOME_DIRECTORY:"):
                source = Path(line.split("=", 1)[1])
        build_targets(path, source or ROOT)
        build = path
    else:
        build = build_revision(spec, cache)
    tools = {
        "cli": build / "cli" / "sorvix-cli",
        "feedgen": build / "tools" / "feedgen" / "sorvix-feedgen",
        "pagedump": build / "tools" / "pagedump" / "sorvix-pagedump",
    }
    for name, exe in tools.items():
        if not exe.exists():
            raise Failure(f"{spec}: {exe} is missing")
    return tools


def record(outputs, name, result, home, stderr=True):
    # The home folder's own path is the one thing that differs by design.
    text = f"exit {result.returncode}\n".encode() + b"--- stdout\n" + result.stdout
    if stderr:
        text += b"--- stderr\n" + result.stderr
    outputs[name] = text.replace(str(home).encode(), b"<home>")


def exercise(tools, side_dir, max_dates):
    """Runs every step with one build; returns (store, outputs, pages)."""
    shutil.rmtree(side_dir, ignore_errors=True)
    home = side_dir / "home"
    home.mkdir(parents=True)
    cli = [str(tools["cli"]), "--home", str(home)]
    env = dict(os.environ, LC_ALL="C.UTF-8", TZ="UTC")

    print(f"== {side_dir.name}: demo feed and store", flush=True)
    run([str(tools["feedgen"]), "--demo", "--out", str(home / "JVLink"), "--legacy-uma",
         str(home), "--force"], env=env)
    outputs = {}
    record(outputs, "acquire",
           run(cli + ["acquire", "--setup", "--from", "2022-01-01"], env=env, check=False), home)
    for archive in sorted((home / "JVLink" / "odds").glob("*.lzh")):
        record(outputs, f"import-odds {archive.name}",
               run(cli + ["import-odds", str(archive)], env=env, check=False), home)
    store = {}
    for path in sorted(home.rglob("*")):
        if path.is_file():
            store[str(path.relative_to(home))] = path.read_bytes()

    print(f"== {side_dir.name}: commands", flush=True)
    dates_run = run(cli + ["dates"], env=env)
    record(outputs, "dates", dates_run, home)
    dates = dates_run.stdout.decode().split()
    if max_dates:
        dates = dates[:max_dates]
    for date in dates:
        for command in (["analyze"], ["load"], ["hits"], ["hits", "--big"]):
            record(outputs, f"{' '.join(command)} {date}",
                   run(cli + [command[0], date, *command[1:]], env=env, check=False), home)
    # Its progress lines on stderr follow the workers' timing.
    record(outputs, "backtest --format json",
           run(cli + ["backtest", "--format", "json"], env=env, check=False), home, stderr=False)

    print(f"== {side_dir.name}: recorded pages", flush=True)
    pages_dir = side_dir / "pages"
    run([str(tools["pagedump"]), "--home", str(home), "--out", str(pages_dir), *dates], env=env)
    pages = {p.name: p.read_bytes() for p in sorted(pages_dir.iterdir())}
    return store, outputs, pages, len(dates)


def first_difference(a, b, encoding):
    la, lb = a.split(b"\n"), b.split(b"\n")
    for i in range(max(len(la), len(lb))):
        x = la[i] if i < len(la) else b"<end>"
        y = lb[i] if i < len(lb) else b"<end>"
        if x != y:
            dec = lambda s: s.decode(encoding, "backslashreplace")[:200]
            return f"line {i + 1}:\n      before: {dec(x)}\n      after:  {dec(y)}"
    return "same lines, different bytes"


def compare(kind, before, after, encoding="cp932"):
    """Prints the differences of two {name: bytes}; returns their count."""
    differences = 0
    for name in sorted(set(before) | set(after)):
        if name not in after:
            print(f"  {kind}: only before: {name}")
        elif name not in before:
            print(f"  {kind}: only after: {name}")
        elif before[name] != after[name]:
            print(f"  {kind}: differs: {name}: {first_difference(before[name], after[name], encoding)}")
        else:
            continue
        differences += 1
    return differences


def digest(files):
    h = hashlib.sha256()
    for name in sorted(files):
        h.update(name.encode() + b"\0" + files[name])
    return h.hexdigest()[:16]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("before", help="build folder or git revision")
    parser.add_argument("after", help="build folder or git revision")
    parser.add_argument("--work", type=Path, default=ROOT / "build" / "identical",
                        help="where revisions are built and the homes made")
    parser.add_argument("--dates", type=int, default=0,
                        help="only the N newest dates (default: all)")
    args = parser.parse_args()
    try:
        tools = [prepare(spec, args.work) for spec in (args.before, args.after)]
        results = [exercise(t, args.work / "run" / side, args.dates)
                   for t, side in zip(tools, ("before", "after"))]
    except Failure as e:
        print(f"check-identical: {e}", file=sys.stderr)
        return 2
    (store_b, out_b, pages_b, dates), (store_a, out_a, pages_a, _) = results
    print("== comparing")
    differences = compare("store", store_b, store_a)
    differences += compare("output", out_b, out_a, "utf-8")
    differences += compare("pages", pages_b, pages_a)
    ops = sum(p.count(b"\n") for p in pages_a.values())
    print(f"store: {len(store_a)} files, {sum(map(len, store_a.values()))} bytes, "
          f"sha256 {digest(store_a)}")
    print(f"commands: {len(out_a)} outputs over {dates} dates, sha256 {digest(out_a)}")
    print(f"pages: {len(pages_a)} dumps, {ops} lines, sha256 {digest(pages_a)}")
    if differences:
        print(f"NOT IDENTICAL: {differences} differences")
        return 1
    print("IDENTICAL")
    return 0


if __name__ == "__main__":
    sys.exit(main())
