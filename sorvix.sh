#!/usr/bin/env bash
# Sorvix: set up, build and run.
#   ./sorvix.sh demo        install what is missing, build, open Sorvix on the demo data
#   ./sorvix.sh test        install what is missing, build, run every test
#   ./sorvix.sh build       install what is missing and build (Release)
#   ./sorvix.sh asan        build and test with AddressSanitizer/UBSan
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)

PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev libarchive-dev
          libgtest-dev libgmock-dev libbenchmark-dev fonts-ipafont-gothic xvfb xauth poppler-utils)

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
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$dir" -j "$(jobs)"
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
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests "$ROOT/build/asan"
    ;;
  demo)
    install_packages
    build "$ROOT/build/release" Release -DSORVIX_TESTS=OFF
    HOME_DIR="$ROOT/demo-home"
    mkdir -p "$HOME_DIR/JVLink"
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
      exec "$ROOT/build/release/sorvix" --home "$HOME_DIR"
    else
      echo "表示装置（DISPLAY）がありません。ウィンドウを見るには: xvfb-run -a ./sorvix.sh demo"
      echo "代わりにコマンド版を実行します:"
      "$ROOT/build/release/sorvix-cli" --home "$HOME_DIR" dates
    fi
    ;;
  *)
    sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
