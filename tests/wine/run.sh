#!/usr/bin/env bash
# sorvix-jvdump under Wine against the JV-Link test double.
#   tests/wine/run.sh BUILD_DIR [GUI_BUILD_DIR]
# BUILD_DIR is a build configured with -DSORVIX_WINE_TESTS=ON (sorvix-cli,
# sorvix-feedgen, both exporters and the double of each bitness);
# GUI_BUILD_DIR a build with the windows' tests (test_gui_acquisition), for
# JVデータ取得, 結果情報 and 中止 in the real window.  Makes a
# throw-away Wine prefix, registers the double as "JVDTLab.JVLink" and checks:
#   - the round trip: feed F (with odds and vote-count records of up to
#     102,890 bytes) → double → sorvix-jvdump (a killed setup run, its rerun,
#     an incremental run, real-time days) → feed F'; acquiring and fetching
#     from F' gives the store that the same steps give from F, byte for byte;
#   - JVGets in its documented form gives the bytes JVRead gives, also when
#     Wine's default code page is not 932, and a record lost while the form
#     is found out is read again;
#   - a blocking JVOpen, a damaged cached file, a second exporter, a record
#     over the buffer, Ctrl+C, every error path of the double and a missing
#     component give the texts of the core's table and leave no file under a
#     .jvd name;
#   - one click on JVデータ取得 or 結果情報 in the window exports through
#     Wine, reads and stores the same store; 中止 keeps nothing and leaves
#     no exporter running;
#   - the shipped 32-bit exporter does the round trip through the 32-bit
#     double where this machine runs 32-bit programs.
# The last line is "N passed, N failed, N skipped"; the exit status is 1 on
# a failure.
set -uo pipefail

BUILD=$(cd "${1:?usage: run.sh BUILD_DIR [GUI_BUILD_DIR]}" && pwd)
GUI_BUILD=${2:+$(cd "$2" && pwd)}
# COM under Wine needs a display, even for console programs.
if [ -z "${SORVIX_WINE_DISPLAY:-}" ]; then
  SORVIX_WINE_DISPLAY=1 exec xvfb-run -a -s "-screen 0 640x480x24" bash "$0" "$@"
fi

WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
WINE32=/usr/lib/wine/wine
EXE=$BUILD/tools/jvdump/x86_64/sorvix-jvdump64.exe
DLL=$BUILD/tools/jvdump/x86_64/jvlink-double.dll
EXE32=$BUILD/tools/jvdump/i686/sorvix-jvdump.exe
DLL32=$BUILD/tools/jvdump/i686/jvlink-double.dll
CLI=$BUILD/cli/sorvix-cli
FEEDGEN=$BUILD/tools/feedgen/sorvix-feedgen
for f in "$EXE" "$DLL" "$EXE32" "$DLL32" "$CLI" "$FEEDGEN"; do
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
skipped=0
ok() {
  passed=$((passed + 1))
  echo "ok    $1"
}
fail() {
  failed=$((failed + 1))
  echo "FAIL  $1${2:+: $2}"
}
skip() {
  skipped=$((skipped + 1))
  echo "skip  $1: $2"
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
mkdir -p "$DOUBLE" "$DOUBLE/x86" "$WORK/bin"
cp "$DLL" "$DOUBLE/jvlink-double.dll"
cp "$DLL32" "$DOUBLE/x86/jvlink-double.dll"
cp "$EXE" "$WORK/bin/sorvix-jvdump64.exe"
cp "$EXE32" "$WORK/bin/sorvix-jvdump.exe"
CALLS=$WORK/calls.log  # what the double was called with (JVLINK_DOUBLE_LOG)
# Wine's default code page is 932 only under a Japanese locale (which need
# not be generated on the host).
JVDUMP_LANG=ja_JP.UTF-8

# jvdump LOG ARGS...: runs the 64-bit exporter, its output (CP932) into
# LOG; the exit status is the exporter's.  JVDUMP_WINE and JVDUMP_EXE run
# the 32-bit one instead.
jvdump() {
  local log=$1
  shift
  rm -f "$CALLS"
  LANG=$JVDUMP_LANG LC_ALL=$JVDUMP_LANG JVLINK_DOUBLE_LOG=$(winpath "$CALLS") "${JVDUMP_WINE:-$WINE}" \
    "$(winpath "$WORK/bin/${JVDUMP_EXE:-sorvix-jvdump64.exe}")" "$@" >"$log" 2>&1
}
# jvdump_bg LOG ARGS...: the same in the background; its pid in $pid.
jvdump_bg() {
  local log=$1
  shift
  rm -f "$CALLS"
  LANG=$JVDUMP_LANG LC_ALL=$JVDUMP_LANG JVLINK_DOUBLE_LOG=$(winpath "$CALLS") "$WINE" \
    "$(winpath "$WORK/bin/sorvix-jvdump64.exe")" \
    "$@" >"$log" 2>&1 &
  pid=$!
}
# called TEXT: the double's call log has the line.
called() {
  grep -qxF -- "$1" "$CALLS" 2>/dev/null && return 0
  echo "      expected the call: $1"
  echo "      calls: $(tr '\n' '|' <"$CALLS" 2>/dev/null | head -c 300)"
  return 1
}
# wait_for_call TEXT: until the double has been called so (15 s at most).
wait_for_call() {
  local i
  for i in $(seq 150); do
    grep -qxF -- "$1" "$CALLS" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
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

# The shipped builds need nothing beyond what every Windows has.
for exe in "$EXE32" "$EXE"; do
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort -f | tr '\n' ' ')
  check "${exe##*/} imports only system DLLs ($imports)" \
    test "$imports" = "ADVAPI32.dll KERNEL32.dll msvcrt.dll ole32.dll OLEAUT32.dll USER32.dll "
done

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
LANG=$JVDUMP_LANG LC_ALL=$JVDUMP_LANG JVLINK_DOUBLE_READ_DELAY_MS=2 "$WINE" \
  "$(winpath "$WORK/bin/sorvix-jvdump64.exe")" \
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

echo "== the forms of reading"
# The round trip read through JVGets in its documented form, with the
# buffer the samples use; records in wide text (JVRead, no JVGets) come back
# as the same bytes, also when Wine's default code page is 1252.
check "the round trip: JVGets, the VARIANT form" \
  said "$WORK/setup.log" "JVGets でレコードをバイト列のまま受け取ります（VARIANT 形式）。"
check "the round trip: the component's version" said "$WORK/setup.log" "JV-Link のバージョン: 0500"
served "$G" >"$WORK/served-all"
JVLINK_DOUBLE_NO_GETS=1 jvdump "$WORK/read.log" --out "$(winpath "$WORK/read")" --setup \
  --from 20230101
check "JVRead export: exit 0" test $? -eq 0
check "JVRead export: records come through JVRead" \
  said "$WORK/read.log" "JVRead でレコードを文字列で受け取り、バイト列に戻します。"
check "JVRead export: a buffer of 110,000 characters, made beforehand" \
  called "JVRead buff=110000 size=110000"
check "JVRead export: the same bytes as JVGets, O6 and H6 whole" \
  same_bytes "$(find "$WORK/read" -name '*.jvd')" "$WORK/served-all"
check "the feed holds an H6 record of 102,890 bytes" \
  test "$(LC_ALL=C awk '/^H6/ { print length($0) + 1; exit }' "$WORK/served-all")" -eq 102890

JVLINK_DOUBLE_NO_GETS=1 JVDUMP_LANG=C.UTF-8 jvdump "$WORK/c-utf8.log" \
  --out "$(winpath "$WORK/c-utf8")" --realtime 20240107
check "LANG=C.UTF-8: exit 0" test $? -eq 0
check "LANG=C.UTF-8: says the code page" \
  said "$WORK/c-utf8.log" "JV-Link は既定のコードページ 1252 で文字列にしています。"
check "LANG=C.UTF-8: the same bytes as with code page 932" \
  same_bytes "$(find "$WORK/c-utf8/rt/20240107" -name '*.jvd')" "$WORK/served-rt-20240107"

# The first record asked for through JVGets is taken but never arrives;
# the byte-array form then meets Wine's coercion of a VARIANT parameter
# (success, no bytes).  Each lost record makes the run open again, and
# JVRead gets every record once.
JVLINK_DOUBLE_GETS_DROP_FIRST=1 jvdump "$WORK/lost.log" --out "$(winpath "$WORK/lost")" --setup \
  --from 20230101
check "a lost record: exit 0" test $? -eq 0
check "a lost record: the byte-array form gives no bytes either" \
  said "$WORK/lost.log" "JVGets（バイト配列形式）は使えません: 成功を返しましたがバイト列が届きません。"
check "a lost record: JVRead in the end" \
  said "$WORK/lost.log" "JVRead でレコードを文字列で受け取り、バイト列に戻します。"
check "a lost record: opened three times" \
  test "$(grep -c '^JVOpen ' "$CALLS")" -eq 3
check "a lost record: every record once, in order" \
  same_bytes "$(find "$WORK/lost" -name '*.jvd')" "$WORK/served-all"

# A record whose text has a character without a CP932 code: the run
# completes, names the record and says so in its exit status.
JVLINK_DOUBLE_NO_GETS=1 JVLINK_DOUBLE_FOREIGN_CHAR_AT=10 jvdump "$WORK/lossy.log" --out "$(winpath "$WORK/lossy")" \
  --realtime 20240107
code=$?
check "a record that does not convert: exit 4" test $code -eq 4
check "a record that does not convert: named" \
  said "$WORK/lossy.log" "警告: CP932 に変換できない文字を含むレコードです（"
check "a record that does not convert: counted" \
  said "$WORK/lossy.log" "そのまま受け取れなかったレコードがあります: 1 件"
check "a record that does not convert: the run is kept" \
  test "$(find "$WORK/lossy/rt/20240107" -name '0B12*.jvd' | wc -l)" -eq 1

echo "== cancel and error paths"
# Ctrl+C in the middle of the read: JVCancel, JVClose, nothing kept.
faults "Downloaded=no" "DownloadStep=1"
LANG=$JVDUMP_LANG LC_ALL=$JVDUMP_LANG JVLINK_DOUBLE_READ_DELAY_MS=2 "$WINE" \
  "$(winpath "$WORK/bin/sorvix-jvdump64.exe")" \
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

# JVOpen behind one of the component's dialogs: the first Ctrl+C waits for
# it, the second ends the program; SIGTERM ends it too.  Nothing is kept.
no_faults
for stop in "INT INT" "TERM"; do
  JVLINK_DOUBLE_OPEN_BLOCK_MS=60000 jvdump_bg "$WORK/blocked.log" --out "$(winpath "$WORK/blocked")" \
    --setup --from 20230101
  if wait_for_call "JVOpen RACEDIFN 20230101000000 3"; then
    for signal in $stop; do
      sleep 0.5
      kill -"$signal" "$pid"
    done
    for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
      kill -KILL "$pid"
      fail "a blocking JVOpen, SIG$stop: ends within 5 s"
    else
      ok "a blocking JVOpen, SIG$stop: ends within 5 s"
    fi
    wait "$pid" 2>/dev/null
    check "a blocking JVOpen, SIG$stop: no .jvd, no state" \
      test -z "$(find "$WORK/blocked" -name '*.jvd' -o -name 'sorvix-jvdump.state')"
  else
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    fail "a blocking JVOpen, SIG$stop" "JVOpen was never called"
  fi
done
# One Ctrl+C while JVOpen blocks: the run stops as soon as JVOpen returns.
JVLINK_DOUBLE_OPEN_BLOCK_MS=3000 jvdump_bg "$WORK/blocked1.log" --out "$(winpath "$WORK/blocked1")" \
  --setup --from 20230101
if wait_for_call "JVOpen RACEDIFN 20230101000000 3"; then
  sleep 0.5
  kill -INT "$pid"
  wait "$pid"
  code=$?
  check "a blocking JVOpen, one Ctrl+C: exit 3 when JVOpen returns" test $code -eq 3
  check "a blocking JVOpen, one Ctrl+C: says it waits" said "$WORK/blocked1.log" \
    "中止します。JV-Link の処理の終わりを待っています（もう一度 Ctrl+C で直ちに終了します）。"
  check "a blocking JVOpen, one Ctrl+C: JVCancel, JVClose" \
    test "$(tail -n 2 "$CALLS" | tr '\n' ' ')" = "JVCancel JVClose "
  check "a blocking JVOpen, one Ctrl+C: nothing kept" no_output "$WORK/blocked1"
else
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  fail "a blocking JVOpen, one Ctrl+C" "JVOpen was never called"
fi

# One exporter per folder: a second one refuses while the first runs.
JVLINK_DOUBLE_OPEN_BLOCK_MS=60000 jvdump_bg "$WORK/first.log" --out "$(winpath "$WORK/locked")" \
  --setup --from 20230101
if wait_for_call "JVOpen RACEDIFN 20230101000000 3"; then
  "$WINE" "$(winpath "$WORK/bin/sorvix-jvdump64.exe")" --out "$(winpath "$WORK/locked")" \
    --setup --from 20230101 >"$WORK/second.log" 2>&1
  code=$?
  check "a second exporter on the folder: exit 5" test $code -eq 5
  check "a second exporter on the folder: says why" said "$WORK/second.log" \
    "別の sorvix-jvdump がこのフォルダに書き出しています: "
else
  fail "a second exporter on the folder" "the first never called JVOpen"
fi
kill -KILL "$pid" 2>/dev/null
wait "$pid" 2>/dev/null

# A damaged cached file: deleted through JVFiledelete once, fetched again.
damaged=$(cd "$G" && ls -- RACE*.jvd | sort | head -n 1)
JVLINK_DOUBLE_DAMAGED=$damaged jvdump "$WORK/damaged.log" --out "$(winpath "$WORK/damaged")" \
  --setup --from 20230101
check "a damaged cached file: exit 0" test $? -eq 0
check "a damaged cached file: JVFiledelete once" \
  test "$(grep -c "^JVFiledelete $damaged\$" "$CALLS")" -eq 1
check "a damaged cached file: says so" said "$WORK/damaged.log" \
  "壊れたファイル $damaged を JVFiledelete で削除し、もう一度取得します。"
check "a damaged cached file: every record once" \
  same_bytes "$(find "$WORK/damaged" -name '*.jvd')" "$WORK/served-all"
rm -f "$DOUBLE/deleted-$damaged"
JVLINK_DOUBLE_DAMAGED=$damaged JVLINK_DOUBLE_DAMAGED_STAYS=1 jvdump "$WORK/damaged2.log" \
  --out "$(winpath "$WORK/damaged2")" --setup --from 20230101
code=$?
check "a cached file that stays damaged: exit 2" test $code -eq 2
check "a cached file that stays damaged: one JVFiledelete" \
  test "$(grep -c '^JVFiledelete ' "$CALLS")" -eq 1
check "a cached file that stays damaged: the text" \
  said "$WORK/damaged2.log" "JVReadエラー:ダウンロードしたファイル内容が異常です。(-403)"
check "a cached file that stays damaged: nothing kept" no_output "$WORK/damaged2"
rm -f "$DOUBLE"/deleted-*

# A record longer than the buffer comes cut: kept, named, counted.
mkdir -p "$G/rt/20240108"
{
  printf 'RA1\r\n'
  printf 'WF%0119998d\r\n' 0
} >"$G/rt/20240108/0B1220240108120000.jvd"
jvdump "$WORK/cut.log" --out "$(winpath "$WORK/cut")" --realtime 20240108 --sid UNKNOWN
code=$?
check "a record over the buffer: exit 4" test $code -eq 4
check "a record over the buffer: named" said "$WORK/cut.log" \
  "警告: バッファ (110000 バイト) に収まらず切れたレコードです（0B1220240108120000.jvd の 2 件目, 種別 WF, 109999 バイト）"
check "a record over the buffer: kept as it came" \
  test "$(find "$WORK/cut/rt/20240108" -name '*.jvd' -printf '%s')" -eq $((5 + 109999 + 2))
check "--sid: the software id given to JVInit" called "JVInit UNKNOWN"
check "the component's dialogs get a parent window" called "ParentHWnd set"
rm -r "$G/rt/20240108"

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

echo "== sorvix-cli acquire --wine, fetch --wine"
# Sorvix runs the exporter in the prefix itself, then reads the feed: the
# store equals the one acquired from the feed directly.
WINEHOME=$WORK/home-wine
make_home "$WINEHOME" "$WORK/wine-feed"
printf '[Wine]\r\nPrefix=%s\r\nProgram=%s\r\n' "$WINEPREFIX" "$WINE" >"$WINEHOME/sorvix.ini"
"${WINE%/*}/wineserver" -w  # the registry on disk, as for a prefix at rest
cli "$WINEHOME" "$WORK/acquire-wine.log" acquire --wine --setup --from 2023-01-01
check "acquire --wine: exit 0" test $? -eq 0
check "acquire --wine: the exporter's lines" \
  grep -qF "件のレコードを Z:" "$WORK/acquire-wine.log"
cli "$WINEHOME" "$WORK/fetch-wine.log" fetch 20240107 --wine
check "fetch --wine: exit 0" test $? -eq 0
DIRECT2=$WORK/home-direct2
make_home "$DIRECT2" "$G"
cli "$DIRECT2" "$WORK/acquire-direct2.log" acquire --setup --from 2023-01-01
cli "$DIRECT2" "$WORK/fetch-direct2.log" fetch 20240107
if diff -r --exclude=jvlink.ini --exclude=JVLink --exclude=sorvix.ini "$DIRECT2" "$WINEHOME" \
  >"$WORK/store-wine.diff"; then
  ok "acquire --wine and fetch --wine: the store equals the store made from the feed"
else
  fail "acquire --wine and fetch --wine: the store equals the store made from the feed" \
    "$(head -n 5 "$WORK/store-wine.diff" | tr '\n' '|')"
fi
# An interrupt during a slow export: nothing kept, no exporter left running.
make_home "$WORK/home-wine2" "$WORK/wine-feed2"
cp "$WINEHOME/sorvix.ini" "$WORK/home-wine2/"
JVLINK_DOUBLE_READ_DELAY_MS=5 "$CLI" --home "$WORK/home-wine2" acquire --wine --setup \
  --from 2023-01-01 >"$WORK/acquire-wine2.log" 2>&1 &
pid=$!
if wait_for_records "$WORK/wine-feed2"; then
  kill -INT "$pid"
  wait "$pid"
  code=$?
  check "acquire --wine interrupted: exit 130" test $code -eq 130
  check "acquire --wine interrupted: no .jvd, no state" \
    test -z "$(find "$WORK/wine-feed2" -name '*.jvd' -o -name 'sorvix-jvdump.state')"
  check "acquire --wine interrupted: no exporter left running" \
    test -z "$(pgrep -f sorvix-jvdump64.exe)"
else
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  fail "acquire --wine interrupted" "the export never wrote records"
fi
printf '[Wine]\r\nProgram=/nonexistent/wine\r\n' >"$WORK/home-wine2/sorvix.ini"
cli "$WORK/home-wine2" "$WORK/acquire-nowine.log" acquire --wine
code=$?
check "acquire --wine without Wine: exit 1 and says what to install" \
  grep -qF "sorvix-cli: Wine（/nonexistent/wine）が見つかりません。sudo apt install" \
  "$WORK/acquire-nowine.log"

# JVSetUIProperties: the component's own dialog, after JVInit, without a
# feed folder; its error as the component's text.
jvdump "$WORK/ui.log" --ui-properties
check "--ui-properties: exit 0" test $? -eq 0
check "--ui-properties: JVInit, then JVSetUIProperties" called "JVSetUIProperties"
check "--ui-properties: says the dialog closed" said "$WORK/ui.log" "JV-Link の設定画面を閉じました。"
faults "JVSetUIProperties=-100"
jvdump "$WORK/ui-fault.log" --ui-properties
check "--ui-properties refused: exit 2" test $? -eq 2
check "--ui-properties refused: the component's text" \
  said "$WORK/ui-fault.log" "sorvix-jvdump: JVSetUIPropertiesエラー:"
no_faults

echo "== the window: JVデータ取得, 結果情報 and 中止 through Wine"
# The real main window under Xvfb (test_gui_acquisition of the test build),
# with [Wine] in its settings: one click exports, reads and stores.
GUI_TESTS=${GUI_BUILD:+$GUI_BUILD/tests/test_gui_acquisition}
gui_home() {  # gui_home HOME FEED: a home that exports through the prefix
  make_home "$1" "$2"
  printf '[Wine]\r\nUse=1\r\nPrefix=%s\r\nProgram=%s\r\nExporter=%s\r\n' "$WINEPREFIX" "$WINE" \
    "$WORK/bin/sorvix-jvdump64.exe" >"$1/sorvix.ini"
}
gui_test() {  # gui_test LOG NAME [VAR=VALUE...]: one test of the window
  local log=$1 name=$2
  shift 2
  env QT_QPA_PLATFORM=xcb "$@" "$GUI_TESTS" --gtest_filter="WineRunTest.$name" >"$log" 2>&1 &&
    grep -q '^\[  PASSED  \] 1 test' "$log" && return 0
  sed -n '/Failure\|FAILED\|error/p' "$log" | head -n 8 | sed 's/^/      /'
  return 1
}
same_store() {  # same_store DIRECT HOME: the stores are the same, byte for byte
  # (the window's error log holds its start-up lines, and nothing else)
  diff -r --exclude=jvlink.ini --exclude=JVLink --exclude=sorvix.ini --exclude=ErrorLog.txt \
    "$1" "$2" >"$WORK/gui.diff" &&
    test -z "$(iconv -f CP932 -t UTF-8 "$2/ErrorLog.txt" | tr -d '\r' | grep -v '^ソフト起動：' | grep -vxF "$2")" &&
    return 0
  head -n 5 "$WORK/gui.diff" | sed 's/^/      /'
  iconv -f CP932 -t UTF-8 -c "$2/ErrorLog.txt" | tail -n 3 | sed 's/^/      /'
  return 1
}
if [ -x "${GUI_TESTS:-}" ]; then
  GUIHOME=$WORK/home-gui
  gui_home "$GUIHOME" "$WORK/gui-feed"
  faults "Downloaded=no" "DownloadStep=1"
  "${WINE%/*}/wineserver" -w
  check "JVデータ取得 in the window: exports through Wine and stores" \
    gui_test "$WORK/gui-acquire.log" JvDataAcquiresThroughWine SORVIX_WINE_ACQUIRE_HOME="$GUIHOME"
  DIRECT3=$WORK/home-direct3
  make_home "$DIRECT3" "$G"
  cli "$DIRECT3" "$WORK/acquire-direct3.log" acquire --setup --from 2023-01-01
  check "JVデータ取得 in the window: the store equals the store acquired from the feed" \
    same_store "$DIRECT3" "$GUIHOME"
  no_faults
  check "結果情報 in the window: exports the day through Wine and fetches it" \
    gui_test "$WORK/gui-kekka.log" KekkaFetchesThroughWine SORVIX_WINE_KEKKA_HOME="$GUIHOME" \
    SORVIX_WINE_KEKKA_DATE=2024-01-07
  cli "$DIRECT3" "$WORK/fetch-direct3.log" fetch 20240107
  check "結果情報 in the window: the store equals the store fetched from the feed" \
    same_store "$DIRECT3" "$GUIHOME"
  check "中止 in 結果情報's box: the export ends, nothing is fetched" \
    gui_test "$WORK/gui-kekka-cancel.log" KekkaCancelFetchesNothing \
    SORVIX_WINE_KEKKA_CANCEL_HOME="$GUIHOME" SORVIX_WINE_KEKKA_DATE=2024-01-07 \
    JVLINK_DOUBLE_READ_DELAY_MS=200
  check "中止 in 結果情報's box: no exporter left running" \
    test -z "$(pgrep -f sorvix-jvdump64.exe)"

  gui_home "$WORK/home-gui2" "$WORK/gui-feed2"
  faults "Downloaded=no" "DownloadStep=1"
  check "中止 during a slow export: the export ends and keeps nothing" \
    gui_test "$WORK/gui-cancel.log" CancelDuringASlowExportKeepsNothing \
    SORVIX_WINE_CANCEL_HOME="$WORK/home-gui2" JVLINK_DOUBLE_READ_DELAY_MS=5
  check "中止 during a slow export: no .jvd and no state" \
    test -z "$(find "$WORK/gui-feed2" -name '*.jvd' -o -name 'sorvix-jvdump.state')"
  check "中止 during a slow export: no exporter left running" \
    test -z "$(pgrep -f sorvix-jvdump64.exe)"
  no_faults

  # The time from the click to the stored data, against the same two steps
  # by hand (the exporter, then sorvix-cli acquire).
  "${WINE%/*}/wineserver" -w
  hand=$(date +%s%N)
  jvdump "$WORK/hand.log" --out "$(winpath "$WORK/hand-feed")" --setup --from 20230101
  make_home "$WORK/home-hand" "$WORK/hand-feed"
  cli "$WORK/home-hand" "$WORK/acquire-hand.log" acquire --setup --from 2023-01-01
  echo "      by hand (exporter, then sorvix-cli acquire): $((($(date +%s%N) - hand) / 1000000)) ms"
  echo "      $(grep -h 'click to stored data' "$WORK/gui-acquire.log" "$WORK/gui-kekka.log" | tr '\n' ' ')"
  echo "      $(grep -h '中止 to the end' "$WORK/gui-cancel.log" "$WORK/gui-kekka-cancel.log" | tr '\n' ' ')"
else
  skip "the window through Wine" "no test_gui_acquisition (run.sh BUILD_DIR GUI_BUILD_DIR)"
fi

# Without the component for this bitness: the other one is registered, the
# exporter says which program to use; without any: not installed.
CLSID='{6A1C3E52-8B0D-4F3A-9C2E-5D7B1A0F4E21}'
"$WINE" regsvr32 /u /s "$(winpath "$DOUBLE/jvlink-double.dll")" >/dev/null 2>&1
"$WINE" reg add 'HKCR\JVDTLab.JVLink\CLSID' /ve /d "$CLSID" /f /reg:32 >/dev/null 2>&1
"$WINE" reg add "HKCR\\CLSID\\$CLSID\\InprocServer32" /ve /d "$(winpath "$DOUBLE/x86/jvlink-double.dll")" \
  /f /reg:32 >/dev/null 2>&1
jvdump "$WORK/other.log" --out "$(winpath "$WORK/other")" --setup --from 20230101
code=$?
check "JV-Link registered for 32 bits only: exit 2" test $code -eq 2
check "JV-Link registered for 32 bits only: names the 32-bit exporter" said "$WORK/other.log" \
  "JV-Link は 32 ビット用に登録されています。32 ビット版の sorvix-jvdump.exe を使ってください。"
"$WINE" reg delete 'HKCR\JVDTLab.JVLink' /f /reg:32 >/dev/null 2>&1
"$WINE" reg delete "HKCR\\CLSID\\$CLSID" /f /reg:32 >/dev/null 2>&1
jvdump "$WORK/missing.log" --out "$(winpath "$WORK/missing")" --setup --from 20230101
code=$?
check "no JV-Link installed: exit 2" test $code -eq 2
check "no JV-Link installed: the text" said "$WORK/missing.log" \
  "JV-Link（JVDTLab.JVLink）を作成できません。JV-Link がインストールされているか確かめてください。(0x800401F3)"

echo "== the shipped 32-bit exporter"
if "$WINE32" --version >/dev/null 2>&1; then
  "$WINE32" regsvr32 /s "$(winpath "$DOUBLE/x86/jvlink-double.dll")" >/dev/null 2>&1
  check "the 32-bit double registers" test $? -eq 0
  JVDUMP_WINE=$WINE32 JVDUMP_EXE=sorvix-jvdump.exe jvdump "$WORK/setup32.log" \
    --out "$(winpath "$WORK/out32")" --setup --from 20230101
  check "32-bit setup export: exit 0" test $? -eq 0
  check "32-bit setup export: JVGets, the VARIANT form" \
    said "$WORK/setup32.log" "JVGets でレコードをバイト列のまま受け取ります（VARIANT 形式）。"
  check "32-bit setup export: the component's version" \
    said "$WORK/setup32.log" "JV-Link のバージョン: 0490"
  check "32-bit setup export: every record, byte for byte" \
    same_bytes "$(find "$WORK/out32" -name '*.jvd')" "$WORK/served-all"
  JVLINK_DOUBLE_NO_GETS=1 JVDUMP_WINE=$WINE32 JVDUMP_EXE=sorvix-jvdump.exe jvdump \
    "$WORK/rt32.log" --out "$(winpath "$WORK/out32")" --realtime 20240107
  check "32-bit real-time export through JVRead: the same bytes" \
    same_bytes "$(find "$WORK/out32/rt/20240107" -name '*.jvd')" "$WORK/served-rt-20240107"
  make_home "$WORK/home-export32" "$WORK/out32"
  cli "$WORK/home-export32" "$WORK/acquire-export32.log" acquire --setup --from 2023-01-01
  cli "$WORK/home-export32" "$WORK/fetch-export32.log" fetch 20240107
  make_home "$WORK/home-direct32" "$G"
  cli "$WORK/home-direct32" "$WORK/acquire-direct32.log" acquire --setup --from 2023-01-01
  cli "$WORK/home-direct32" "$WORK/fetch-direct32.log" fetch 20240107
  check "32-bit: the store equals the store made from the feed" \
    diff -r --exclude=jvlink.ini --exclude=JVLink "$WORK/home-direct32" "$WORK/home-export32"
else
  skip "the 32-bit exporter and double" \
    "this machine runs no 32-bit programs ($WINE32 does not start: the kernel has no IA32 emulation)"
fi

echo "== $(($(date +%s) - start)) s"
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
