#!/usr/bin/env bash
# sorvix-jvdump under Wine against the JV-Link test double.
#   tests/wine/run.sh BUILD_DIR
# BUILD_DIR is a build configured with -DSORVIX_WINE_TESTS=ON (sorvix-cli,
# sorvix-feedgen, the 64-bit exporter and the double).  Makes a throw-away
# Wine prefix, registers the double as "JVDTLab.JVLink" and checks:
#   - the round trip: feed F → double → sorvix-jvdump (a killed setup run,
#     its rerun, an incremental run, real-time days) → feed F'; acquiring
#     and fetching from F' gives the store that the same steps give from F,
#     byte for byte;
#   - JVGets delivers the same bytes as JVRead's wide strings;
#   - Ctrl+C, every error path of the double and a missing component give
#     the result texts of the core's table and leave no file under a .jvd
#     name.
# The last line is "N passed, N failed"; the exit status is 1 on a failure.
set -uo pipefail

BUILD=$(cd "${1:?usage: run.sh BUILD_DIR}" && pwd)
# COM under Wine needs a display, even for console programs.
if [ -z "${SORVIX_WINE_DISPLAY:-}" ]; then
  SORVIX_WINE_DISPLAY=1 exec xvfb-run -a -s "-screen 0 640x480x24" bash "$0" "$@"
fi

WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
EXE=$BUILD/tools/jvdump/x86_64/sorvix-jvdump.exe
DLL=$BUILD/tools/jvdump/x86_64/jvlink-double.dll
CLI=$BUILD/cli/sorvix-cli
FEEDGEN=$BUILD/tools/feedgen/sorvix-feedgen
for f in "$EXE" "$DLL" "$CLI" "$FEEDGEN"; do
  [ -e "$f" ] || { echo "missing: $f"; echo "0 passed, 1 failed"; exit 1; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorvix-wine-XXXXXX")
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  "${WINE%/*}/wineserver" -k 2>/dev/null || wineserver -k 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

passed=0
failed=0
ok() {
  passed=$((passed + 1))
  echo "ok    $1"
}
fail() {
  failed=$((failed + 1))
  echo "FAIL  $1${2:+: $2}"
}
check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then ok "$name"; else fail "$name"; fi
}

# A Linux path as Wine sees it.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

DOUBLE=$WORK/double      # the double's DLL and its feed folder JVLink (G)
G=$DOUBLE/JVLink
F=$WORK/feed/JVLink      # the generated feed
OUT=$WORK/out            # F': what the exporter writes
mkdir -p "$DOUBLE" "$WORK/bin"
cp "$DLL" "$DOUBLE/jvlink-double.dll"
cp "$EXE" "$WORK/bin/sorvix-jvdump.exe"

# jvdump LOG ARGS...: runs the exporter, its output (CP932) into LOG; the
# exit status is the exporter's.
jvdump() {
  local log=$1
  shift
  "$WINE" "$(winpath "$WORK/bin/sorvix-jvdump.exe")" "$@" >"$log" 2>&1
}

# said LOG UTF8TEXT: the log holds the text as CP932 bytes.
said() {
  local needle
  needle=$(printf '%s' "$2" | iconv -f UTF-8 -t CP932) || return 1
  LC_ALL=C grep -aqF -- "$needle" "$1" && return 0
  echo "      expected: $2"
  echo "      got:      $(iconv -f CP932 -t UTF-8 -c "$1" | tail -n 3 | tr '\n' '|')"
  return 1
}

# no_output DIR: no .jvd and no .tmp file and no state anywhere below DIR.
no_output() { [ -z "$(find "$1" -type f 2>/dev/null)" ]; }

faults() { printf '%s\n' "$@" >"$G/fault.ini"; }
no_faults() { rm -f "$G/fault.ini"; }

# A home whose feed folder is $2.
make_home() {
  mkdir -p "$1/JVLink"
  printf '[Feed]\r\nFolder=%s\r\n' "$2" >"$1/jvlink.ini"
}
cli() {  # cli HOME LOG ARGS...
  local home=$1 log=$2
  shift 2
  "$CLI" --home "$home" "$@" >"$log" 2>&1
}

# served DIR: the .jvd files of DIR in the order FeedJvLink serves them
# (time stamp, then name), concatenated.
served() {
  (cd "$1" && ls -- *.jvd | sed -E 's/^(.*)([0-9]{14})\.jvd$/\2 &/' | sort | cut -d' ' -f2 |
    xargs cat)
}
same_bytes() {  # same_bytes FILE EXPECTED_FILE
  cmp -s "$1" "$2" && return 0
  echo "      $(cmp "$1" "$2" 2>&1 | head -n 1)"
  return 1
}

# Waits until the temporary file of a running export holds records.
wait_for_records() {
  local folder=$1 i size
  for i in $(seq 150); do
    size=$(find "$folder" -name '*.tmp' -printf '%s\n' 2>/dev/null | head -n 1)
    [ -n "$size" ] && [ "$size" -gt 100000 ] && return 0
    sleep 0.1
  done
  return 1
}

# The shipped 32-bit build needs nothing beyond what every Windows has.
EXE32=$BUILD/tools/jvdump/i686/sorvix-jvdump.exe
if [ -f "$EXE32" ]; then
  imports=$(i686-w64-mingw32-objdump -p "$EXE32" | sed -n 's/^\s*DLL Name: //p' | sort -f | tr '\n' ' ')
  check "the 32-bit exporter imports only system DLLs ($imports)" \
    test "$imports" = "KERNEL32.dll msvcrt.dll ole32.dll OLEAUT32.dll USER32.dll "
fi

echo "== preparing: feed, Wine prefix, double"
start=$(date +%s)
"$FEEDGEN" --out "$F" --from 2024-01-06 --days 2 --seed 11 --history-weeks 2 --old-weeks 0 \
  >"$WORK/feedgen.log" 2>&1 || { cat "$WORK/feedgen.log"; fail "feedgen"; }
"$WINE" wineboot --init >"$WORK/wineboot.log" 2>&1
"$WINE" regsvr32 /s "$(winpath "$DOUBLE/jvlink-double.dll")" >"$WORK/regsvr32.log" 2>&1
check "the double registers as JVDTLab.JVLink" test $? -eq 0

newest=$(cd "$F" && ls -- *.jvd | sed -E 's/.*([0-9]{14})\.jvd$/\1 &/' | sort | tail -n 1 | cut -d' ' -f2)
mkdir -p "$G"
for path in "$F"/*.jvd; do [ "${path##*/}" != "$newest" ] && cp "$path" "$G/"; done
cp -r "$F/rt" "$G/rt"
stamp_of() { sed -E 's/.*([0-9]{14})\.jvd$/\1/' <<<"$1"; }
first_stamp=$(cd "$G" && ls -- *.jvd | sed -E 's/.*([0-9]{14})\.jvd$/\1/' | sort | tail -n 1)

DIRECT=$WORK/home-direct
EXPORT=$WORK/home-export
make_home "$DIRECT" "$G"
make_home "$EXPORT" "$OUT"

echo "== round trip"
# Downloads in steps, a wait (−3) in the middle of the read, file switches.
faults "Downloaded=no" "DownloadStep=1" "JVRead=-3@5"

# A setup export killed in the middle of its read leaves nothing under a
# final name; its rerun completes it.
JVLINK_DOUBLE_READ_DELAY_MS=2 "$WINE" "$(winpath "$WORK/bin/sorvix-jvdump.exe")" \
  --out "$(winpath "$OUT")" --setup --from 20230101 >"$WORK/killed.log" 2>&1 &
pid=$!
if wait_for_records "$OUT"; then
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null
  check "a killed export leaves no .jvd file and no state" \
    test -z "$(find "$OUT" -name '*.jvd' -o -name 'sorvix-jvdump.state')"
else
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  fail "a killed export leaves no .jvd file and no state" "the export never wrote records"
fi

jvdump "$WORK/setup.log" --out "$(winpath "$OUT")" --setup --from 20230101
check "setup export after the kill: exit 0" test $? -eq 0
check "setup export: one file named by the last file time stamp, no temporary file left" \
  test "$(cd "$OUT" && find . -type f -name '*.jvd*' | sort | tr '\n' ' ')" = \
  "./RACEDIFN$first_stamp.jvd "
served "$G" >"$WORK/served-1"
check "setup export: every record served, in order, byte for byte" \
  same_bytes "$OUT/RACEDIFN$first_stamp.jvd" "$WORK/served-1"
check "setup export: progress and the counts" said "$WORK/setup.log" "ダウンロード中．．．(1/"
check "setup export: the state holds the last file time stamp" \
  test "$(tr -d '\r\n' <"$OUT/sorvix-jvdump.state")" = "$first_stamp"

cli "$DIRECT" "$WORK/acquire-direct-1.log" acquire --setup --from 2023-01-01
check "acquire --setup from F: exit 0" test $? -eq 0
cli "$EXPORT" "$WORK/acquire-export-1.log" acquire --setup --from 2023-01-01
check "acquire --setup from F': exit 0" test $? -eq 0

# New data in the component: the next export continues from the state.
cp "$F/$newest" "$G/"
jvdump "$WORK/incremental.log" --out "$(winpath "$OUT")"
check "incremental export: exit 0" test $? -eq 0
check "incremental export: a second file, named by the new last time stamp" \
  test -f "$OUT/RACEDIFN$(stamp_of "$newest").jvd"
check "incremental export: the new records, byte for byte" \
  same_bytes "$OUT/RACEDIFN$(stamp_of "$newest").jvd" "$F/$newest"
check "incremental export: the state moved on" \
  test "$(tr -d '\r\n' <"$OUT/sorvix-jvdump.state")" = "$(stamp_of "$newest")"
jvdump "$WORK/nothing-new.log" --out "$(winpath "$OUT")"
code=$?
check "export with nothing new: exit 1" test $code -eq 1
check "export with nothing new: the JVOpen text" \
  said "$WORK/nothing-new.log" "JVOpen: 取得済みデータより最新のデータがありません。(-1)"
check "export with nothing new: no new file" \
  test "$(find "$OUT" -maxdepth 1 -name '*.jvd' | wc -l)" -eq 2

cli "$DIRECT" "$WORK/acquire-direct-2.log" acquire
check "acquire from F: exit 0" test $? -eq 0
cli "$EXPORT" "$WORK/acquire-export-2.log" acquire
check "acquire from F': exit 0" test $? -eq 0

cli "$DIRECT" "$WORK/acquire-direct-3.log" acquire
cli "$EXPORT" "$WORK/acquire-export-3.log" acquire
code=$?
check "acquire with nothing new: exit 0" test $code -eq 0
check "acquire with nothing new: names the feed folder and the exporter" \
  grep -qF "$OUT です。JV-Link のある Windows で sorvix-jvdump.exe --out" \
  "$WORK/acquire-export-3.log"

no_faults
for day in 20240106 20240107; do
  jvdump "$WORK/rt-$day.log" --out "$(winpath "$OUT")" --realtime "$day"
  check "real-time export $day: exit 0" test $? -eq 0
  check "real-time export $day: one file in rt/$day" \
    test "$(find "$OUT/rt/$day" -name '0B12*.jvd' | wc -l)" -eq 1
  served "$G/rt/$day" >"$WORK/served-rt-$day"
  check "real-time export $day: every record served, byte for byte" \
    same_bytes "$(find "$OUT/rt/$day" -name '0B12*.jvd')" "$WORK/served-rt-$day"
  cli "$DIRECT" "$WORK/fetch-direct-$day.log" fetch "$day"
  check "fetch $day from F: exit 0" test $? -eq 0
  cli "$EXPORT" "$WORK/fetch-export-$day.log" fetch "$day"
  check "fetch $day from F': exit 0" test $? -eq 0
done

if diff -r --exclude=jvlink.ini --exclude=JVLink "$DIRECT" "$EXPORT" >"$WORK/store.diff"; then
  ok "the store made through the exporter equals the store made from the feed"
else
  fail "the store made through the exporter equals the store made from the feed" \
    "$(head -n 5 "$WORK/store.diff" | tr '\n' '|')"
fi
check "the stores are not empty" test "$(find "$DIRECT" -type f | wc -l)" -gt 50

# JVGets (records as bytes) gives the bytes JVRead's wide strings gave.
JVLINK_DOUBLE_GETS=1 jvdump "$WORK/gets.log" --out "$(winpath "$WORK/gets")" --realtime 20240107
check "JVGets export: exit 0" test $? -eq 0
check "JVGets export: records come through JVGets" \
  said "$WORK/gets.log" "JVGets でレコードをバイト列のまま受け取ります。"
check "JVRead export: records come through JVRead" \
  said "$WORK/rt-20240107.log" "JVRead でレコードを受け取り、CP932 に変換します。"
check "JVGets export: the same bytes as through JVRead" \
  cmp -s "$(find "$WORK/gets/rt/20240107" -name '*.jvd')" "$(find "$OUT/rt/20240107" -name '*.jvd')"

# A record whose text has a character without a CP932 code: the run
# completes, names the record and says so in its exit status.
JVLINK_DOUBLE_FOREIGN_CHAR_AT=10 jvdump "$WORK/lossy.log" --out "$(winpath "$WORK/lossy")" \
  --realtime 20240107
code=$?
check "a record that does not convert: exit 4" test $code -eq 4
check "a record that does not convert: named" \
  said "$WORK/lossy.log" "警告: CP932 に変換できない文字を含むレコードです（"
check "a record that does not convert: counted" \
  said "$WORK/lossy.log" "CP932 に正しく変換できなかったレコードがあります: 1 件"
check "a record that does not convert: the run is kept" \
  test "$(find "$WORK/lossy/rt/20240107" -name '0B12*.jvd' | wc -l)" -eq 1

echo "== cancel and error paths"
# Ctrl+C in the middle of the read: JVCancel, JVClose, nothing kept.
faults "Downloaded=no" "DownloadStep=1"
JVLINK_DOUBLE_READ_DELAY_MS=2 "$WINE" "$(winpath "$WORK/bin/sorvix-jvdump.exe")" \
  --out "$(winpath "$WORK/cancel")" --setup --from 20230101 >"$WORK/cancel.log" 2>&1 &
pid=$!
if wait_for_records "$WORK/cancel"; then
  kill -INT "$pid"
  wait "$pid"
  code=$?
  check "Ctrl+C: exit 3" test $code -eq 3
  check "Ctrl+C: the cancel text" said "$WORK/cancel.log" "JVCancel:キャンセルされました"
  check "Ctrl+C: no file left" no_output "$WORK/cancel"
else
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  fail "Ctrl+C" "the export never wrote records"
fi

# fault.ini lines | exporter arguments | exit | text
cases=(
  "JVInit=-101|--setup --from 20230101|2|JVInitエラー:sid が設定されていません。(-101)"
  "JVOpen=-301|--setup --from 20230101|2|JVOpenエラー:認証エラーが発生しました。(-301)"
  "JVOpen=-501|--setup --from 20230101|2|JVOpenエラー:セットアップ処理においてＣＤ －ＲＯＭ が無効です。(-501)"
  "JVOpen=-504|--from 20230101|2|JVOpenエラー:サーバーがメンテナンス中です。(-504)"
  "Downloaded=no,DownloadStep=1,JVStatus=-502@2|--setup --from 20230101|2|JVStatusエラー:ダウンロードに失敗しました。（通信エラーやディスクエラーなど）(-502)"
  "JVRead=-403@300|--setup --from 20230101|2|JVReadエラー:ダウンロードしたファイル内容が異常です。(-403)"
  "JVRead=-502@300|--setup --from 20230101|2|JVReadエラー:ダウンロードに失敗しました。(通信エラーやディスクエラー)(-502)"
  "JVRead=-503@2|--setup --from 20230101|2|JVReadエラー:ファイルが見つかりません。(-503)"
  "JVRTOpen=-301|--realtime 20240107|2|JVRTOpenエラー:認証エラーが発生しました。(-301)"
  "|--realtime 20240110|1|JVRTOpen: 取得済みデータより最新のデータがありません。(-1)"
  "|--from 20990101|1|JVOpen: 取得済みデータより最新のデータがありません。(-1)"
  "JVRead=-503@2|--realtime 20240107|2|JVReadエラー:ファイルが見つかりません。(-503)"
)
n=0
for entry in "${cases[@]}"; do
  IFS='|' read -r lines args want text <<<"$entry"
  n=$((n + 1))
  IFS=',' read -r -a fault_lines <<<"$lines"
  if [ -n "$lines" ]; then faults "${fault_lines[@]}"; else no_faults; fi
  # shellcheck disable=SC2086
  jvdump "$WORK/case-$n.log" --out "$(winpath "$WORK/case-$n")" $args
  code=$?
  check "${lines:-no fault} ($args): exit $want" test $code -eq "$want"
  check "${lines:-no fault} ($args): the text" said "$WORK/case-$n.log" "$text"
  check "${lines:-no fault} ($args): nothing written" no_output "$WORK/case-$n"
done

# A failing JVClose after a complete read: the data and the state are kept,
# the text and the exit status say it failed.
faults "JVClose=-1"
jvdump "$WORK/close.log" --out "$(winpath "$WORK/close")" --setup --from 20230101
code=$?
check "JVClose=-1: exit 2" test $code -eq 2
check "JVClose=-1: the text" said "$WORK/close.log" "JVCloseエラー:(-1)"
check "JVClose=-1: the file and the state are kept" \
  test "$(find "$WORK/close" -type f | wc -l)" -eq 2
no_faults

# A call the component refuses outright: its HRESULT, the result text of
# the −401 it stands for, nothing kept.
JVLINK_DOUBLE_REFUSE=JVStatus jvdump "$WORK/refused.log" --out "$(winpath "$WORK/refused")" \
  --setup --from 20230101
code=$?
check "a refused call: exit 2" test $code -eq 2
check "a refused call: its HRESULT" said "$WORK/refused.log" "JVStatus を呼び出せません。(0x80020009)"
check "a refused call: the result text" said "$WORK/refused.log" "JVStatusエラー:(-401)"
check "a refused call: nothing written" no_output "$WORK/refused"

# Arguments.
jvdump "$WORK/usage.log" --out "$(winpath "$WORK/usage")"
code=$?
check "a first run without --from: exit 64" test $code -eq 64
check "a first run without --from: says what to give" said "$WORK/usage.log" "--setup --from yyyymmdd"
jvdump "$WORK/usage2.log" --out "$(winpath "$WORK/usage")" --from 2024-01-01
code=$?
check "a bad --from: exit 64" test $code -eq 64
jvdump "$WORK/help.log" --help
code=$?
check "--help: exit 0 and the usage" test $code -eq 0
check "--help: the usage" said "$WORK/help.log" "使い方: sorvix-jvdump --out フォルダ"

# Without the component.
"$WINE" reg delete 'HKCR\JVDTLab.JVLink' /f >/dev/null 2>&1
jvdump "$WORK/missing.log" --out "$(winpath "$WORK/missing")" --setup --from 20230101
code=$?
check "no JV-Link installed: exit 2" test $code -eq 2
check "no JV-Link installed: the text" said "$WORK/missing.log" \
  "JV-Link（JVDTLab.JVLink）を作成できません。JV-Link がインストールされているか確かめてください。(0x800401F3)"

echo "== $(($(date +%s) - start)) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
