#!/usr/bin/env bash
# Installs a build into a temporary DESTDIR and checks what a user gets:
#   packaging/check-install.sh BUILD_DIR gui|nogui
# - the three programs (only sorvix-cli and sorvix-feedgen without the GUI),
#   the desktop entry and the icons, and nothing else (no tests, no benchmarks);
# - the desktop entry names an installed program and an installed icon, and
#   desktop-file-validate accepts it when that tool is there;
# - an installed program keeps its data under ~/.local/share/sorvix, with
#   the feed folder made on the first start, and writes nothing beside itself.
set -euo pipefail

build=${1:?usage: check-install.sh BUILD_DIR gui|nogui}
mode=${2:-gui}
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

dest=$(mktemp -d /tmp/sorvix-install.XXXXXX)
trap 'chmod -R u+w "$dest" 2>/dev/null; rm -rf "$dest"' EXIT
chmod 755 "$dest"
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null

expected=(usr/bin/sorvix-cli usr/bin/sorvix-feedgen)
if [ "$mode" = gui ]; then
  expected+=(usr/bin/sorvix usr/share/applications/sorvix.desktop
             usr/share/icons/hicolor/scalable/apps/sorvix.svg)
  [ -f "$build/packaging/256x256/sorvix.png" ] &&
    expected+=(usr/share/icons/hicolor/256x256/apps/sorvix.png)
  # The manual, page for page.
  manual=$(cd "$(dirname "$0")/../docs/manual" && find . -type f | sed 's|^\./||' | sort)
  for f in $manual; do expected+=("usr/share/sorvix/manual/$f"); done
  [ -n "$manual" ] || fail "docs/manual holds no pages"
fi

# The Windows exporter, in builds that make it (-DSORVIX_JVDUMP=ON).
[ -f "$build/tools/jvdump/i686/sorvix-jvdump.exe" ] &&
  expected+=(usr/share/sorvix/windows/sorvix-jvdump.exe usr/share/sorvix/windows/sorvix-jvdump64.exe)

for f in "${expected[@]}"; do
  [ -f "$dest/$f" ] || fail "$f is not installed"
  case "$f" in usr/bin/*) [ -x "$dest/$f" ] || fail "$f is not executable" ;; esac
done
installed=$(cd "$dest" && find . -type f -o -type l | sed 's|^\./||' | sort)
unexpected=$(comm -23 <(echo "$installed") <(printf '%s\n' "${expected[@]}" | sort))
[ -z "$unexpected" ] || fail "unexpected files installed: $(echo "$unexpected" | tr '\n' ' ')"

png=$dest/usr/share/icons/hicolor/256x256/apps/sorvix.png
if [ -f "$png" ]; then
  # PNG signature, then the IHDR width and height (big-endian 32-bit).
  size=$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "sorvix.png is not a PNG"
  [ "$size" = 0000010000000100 ] || fail "sorvix.png is not 256x256 (IHDR $size)"
fi

desktop=$dest/usr/share/applications/sorvix.desktop
if [ -f "$desktop" ]; then
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  program=${exec_line%% *}
  [ -x "$dest/usr/bin/$program" ] || fail "Exec=$exec_line names no installed program"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$dest/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon is not installed"
  grep -qx 'Terminal=false' "$desktop" || fail "the desktop entry opens a terminal"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects sorvix.desktop"
  fi
fi

# ProgramFolder of an installed program: a program in a "bin" folder keeps
# its data in the user's data folder, whoever runs it (root too), and the
# first start makes the default feed folder there, so the desktop program
# opens its main window at once.
home=$dest/home
mkdir -p "$home"
out=$(cd / && env -u SORVIX_HOME -u XDG_DATA_HOME HOME="$home" "$dest/usr/bin/sorvix-cli" dates 2>&1) ||
  fail "installed sorvix-cli dates failed: $out"
[ -d "$home/.local/share/sorvix" ] || fail "no data folder ~/.local/share/sorvix after sorvix-cli dates"
[ -d "$home/.local/share/sorvix/JVLink" ] || fail "the first start made no feed folder JVLink"
beside=$(find "$dest/usr/bin" -mindepth 1 -not -name 'sorvix*' -o -name 'sorvix.ini')
[ -z "$beside" ] || fail "the installed program wrote into its bin folder: $beside"

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "installed: ${expected[*]}"
