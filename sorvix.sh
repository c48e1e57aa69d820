#!/usr/bin/env bash
# Sorvix: set up, build and run.
#   ./sorvix.sh demo        install what is missing, build, open Sorvix on the demo data
#   ./sorvix.sh test        install what is missing, build, run every test
#   ./sorvix.sh build       install what is missing and build (Release)
#   ./sorvix.sh asan        build and test with AddressSanitizer/UBSan
#   ./sorvix.sh bench       build the benchmarks and print their ratio table
#   ./sorvix.sh fuzz [S]    run every fuzz target S seconds (default 60; libFuzzer, clang)
#   ./sorvix.sh package     build the Debian package (build/pkg/sorvix_*.deb)
#   ./sorvix.sh wine-test   build the Windows exporter and run it under Wine against a JV-Link double
#   ./sorvix.sh screenshots make every picture of the manual and the README from the demo (Xvfb)
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)

PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev libarchive-dev
          libgtest-dev libgmock-dev libbenchmark-dev fonts-ipafont-gothic xvfb xauth poppler-utils
          qt6-translations-l10n python3 libsqlite3-dev sqlite3 libreoffice-calc-nogui
          openbox xdotool x11-utils imagemagick)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "== installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

jobs() { nproc 2>/dev/null || echo 2; }

build() {  # build DIR TYPE [cmake options...]
  local dir=$1 type=$2
  shift 2
  # ccache, where installed, shares objects between build folders and
  # checkouts (paths are taken relative to the checkout).
  local launcher=()
  if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j "$(jobs)"
}

make_demo_home() {  # make_demo_home BIN HOME: the demo's store, made once
  local bin=$1 home=$2
  if [ ! -d "$home/Data" ] || [ -z "$(ls "$home/Data" 2>/dev/null)" ]; then
    echo "== デモデータを作成しています（$home）"
    mkdir -p "$home"
    "$bin/tools/feedgen/sorvix-feedgen" --demo --out "$home/JVLink" --legacy-uma "$home" --force
    "$bin/cli/sorvix-cli" --home "$home" acquire --setup --from 2022-01-01
    mkdir -p "$home/ylzh"
    cp "$home/JVLink/odds/"*.lzh "$home/ylzh/" 2>/dev/null || true
  fi
}

run_tests() {  # run_tests DIR
  (cd "$1" && ctest --output-on-failure -j "$(jobs)")
}

case "${1:-}" in
  build)
    install_packages
    build "$ROOT/build/release" Release
    ;;
  test)
    install_packages
    build "$ROOT/build/test" RelWithDebInfo
    run_tests "$ROOT/build/test"
    ;;
  asan)
    install_packages
    build "$ROOT/build/asan" Debug -DSORVIX_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0" \
      UBSAN_OPTIONS=print_stacktrace=1 run_tests "$ROOT/build/asan"
    ;;
  bench)  # ./sorvix.sh bench: build the benchmarks (Release) and print their ratios
    install_packages
    build "$ROOT/build/bench" Release -DSORVIX_BENCH=ON -DSORVIX_GUI=OFF -DSORVIX_TESTS=OFF
    python3 "$ROOT/bench/ratios.py" "$ROOT/build/bench/bench/sorvix-bench"
    ;;
  fuzz)  # ./sorvix.sh fuzz [SECONDS]: build the fuzz targets and run each SECONDS long
    PACKAGES+=(clang libclang-rt-14-dev)
    install_packages
    seconds=${2:-60}
    FUZZ="$ROOT/build/fuzz"
    CC=clang CXX=clang++ build "$FUZZ" RelWithDebInfo -DSORVIX_FUZZ=ON -DSORVIX_GUI=OFF -DSORVIX_TESTS=OFF
    # Seeds: a small generated feed, the store acquired from it, and the
    # inputs cut from both.
    if [ ! -d "$FUZZ/seeds" ]; then
      rm -rf "$FUZZ/seed-home"
      "$FUZZ/tools/feedgen/sorvix-feedgen" --out "$FUZZ/seed-home/JVLink" --from 2024-01-06 --days 2 \
        --seed 7 --legacy-uma "$FUZZ/seed-home" --history-weeks 2 --old-weeks 1 >/dev/null
      "$FUZZ/cli/sorvix-cli" --home "$FUZZ/seed-home" acquire --setup --from 2023-01-01 >"$FUZZ/seed-acquire.log" 2>&1
      python3 "$ROOT/fuzz/make_seeds.py" "$FUZZ/seed-home" "$FUZZ/seeds.new"
      mv "$FUZZ/seeds.new" "$FUZZ/seeds"
    fi
    # The targets write their scratch store in memory where there is one.
    [ -w /dev/shm ] && export TMPDIR=/dev/shm
    failed=()
    for exe in $(find "$FUZZ/fuzz" -maxdepth 1 -type f -executable -name 'fuzz_*' | sort); do
      target=${exe##*/fuzz_}
      mkdir -p "$FUZZ/corpus/$target" "$FUZZ/crashes/$target"
      echo "== fuzz_$target: ${seconds} s"
      if ! "$FUZZ/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=400000 -timeout=30 \
          -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$FUZZ/crashes/$target/" \
          "$FUZZ/corpus/$target" "$FUZZ/seeds/$target" >"$FUZZ/fuzz_$target.log" 2>&1; then
        failed+=("$target")
        tail -n 40 "$FUZZ/fuzz_$target.log"
      fi
      grep -E "^(Done|stat::number_of_executed_units|stat::peak_rss_mb)" "$FUZZ/fuzz_$target.log" || true
    done
    if ((${#failed[@]})); then
      echo "fuzzing found faults in: ${failed[*]} (inputs in $FUZZ/crashes)"
      exit 1
    fi
    ;;
  demo)
    install_packages
    build "$ROOT/build/release" Release -DSORVIX_TESTS=OFF
    HOME_DIR="$ROOT/demo-home"
    BIN="$ROOT/build/release"
    make_demo_home "$BIN" "$HOME_DIR"
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
      # The window opens on the newest date with its first race card shown.
      newest=$("$BIN/cli/sorvix-cli" --home "$HOME_DIR" dates | sed -n 1p)
      exec "$BIN/sorvix" --home "$HOME_DIR" ${newest:+--date "$newest"}
    else
      echo "表示装置（DISPLAY）がありません。ウィンドウを見るには: xvfb-run -a ./sorvix.sh demo"
      echo "代わりにコマンド版で最新の開催日を表示します:"
      "$BIN/cli/sorvix-cli" --home "$HOME_DIR" dates
      latest=$("$BIN/cli/sorvix-cli" --home "$HOME_DIR" dates | head -n 1)
      [ -n "$latest" ] && "$BIN/cli/sorvix-cli" --home "$HOME_DIR" load "$latest" | head -n 60
    fi
    ;;
  package)  # ./sorvix.sh package: Release build without tests, then the .deb through cpack
    PACKAGES+=(dpkg-dev file librsvg2-bin g++-mingw-w64-i686 g++-mingw-w64-x86-64)
    install_packages
    rm -f "$ROOT"/build/pkg/sorvix_*.deb
    build "$ROOT/build/pkg" Release -DSORVIX_TESTS=OFF -DSORVIX_BENCH=OFF -DSORVIX_JVDUMP=ON
    (cd "$ROOT/build/pkg" && cpack -G DEB >/dev/null)
    ls "$ROOT"/build/pkg/sorvix_*.deb
    ;;
  wine-test)  # ./sorvix.sh wine-test: sorvix-jvdump.exe through a JV-Link double in a Wine prefix
    # The shipped 32-bit exporter runs on Wine's 32-bit half (Debian's i386
    # architecture), the 64-bit one on wine64.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $([ "$(id -u)" -eq 0 ] || echo sudo) dpkg --add-architecture i386
    fi
    PACKAGES+=(wine64 wine32:i386 g++-mingw-w64-x86-64 g++-mingw-w64-i686 xvfb xauth)
    install_packages
    build "$ROOT/build/wine" Release -DSORVIX_GUI=OFF -DSORVIX_TESTS=OFF -DSORVIX_BENCH=OFF \
      -DSORVIX_JVDUMP=ON -DSORVIX_WINE_TESTS=ON
    # The window's runs through Wine use the test build (made by test).
    build "$ROOT/build/test" RelWithDebInfo
    bash "$ROOT/tests/wine/run.sh" "$ROOT/build/wine" "$ROOT/build/test"
    ;;
  screenshots)  # ./sorvix.sh screenshots: the manual's and the README's pictures from the demo
    install_packages
    build "$ROOT/build/release" Release -DSORVIX_TESTS=OFF
    BIN="$ROOT/build/release"
    # A fresh demo store with no settings file: the pictures show what the
    # generator makes today, with the default points and places.
    shots_home=$(mktemp -d)
    trap 'rm -rf "$shots_home"' EXIT
    make_demo_home "$BIN" "$shots_home" >/dev/null
    newest=$("$BIN/cli/sorvix-cli" --home "$shots_home" dates | sed -n 1p)
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
      "$BIN/tools/screenshots/sorvix-screenshots" --home "$shots_home" --date "$newest" \
      --out "$ROOT/docs/manual/images" --manual "$ROOT/docs/manual"
    ;;
  *)
    sed -n '2,/^set -euo/p' "$0" | grep '^#' | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
