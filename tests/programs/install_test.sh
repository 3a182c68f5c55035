#!/usr/bin/env bash
# `cmake --install` into a temporary DESTDIR: every file of a desktop program and nothing else,
# a desktop entry and metainfo that the validators accept, manual pages that render, and
# installed programs that state the project's version.
# usage: install_test.sh BUILD_DIR PROJECT_VERSION APP_ID
set -euo pipefail
build=$1 version=$2 app_id=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

DESTDIR=$root cmake --install "$build" --prefix /usr > /dev/null
prefix=$root/usr

expected="bin/orvel
bin/orvel-analyze
bin/orvel-phantom
share/applications/$app_id.desktop
share/icons/hicolor/256x256/apps/orvel.png
share/icons/hicolor/48x48/apps/orvel.png
share/icons/hicolor/scalable/apps/orvel.svg
share/man/man1/orvel-analyze.1.gz
share/man/man1/orvel-phantom.1.gz
share/man/man1/orvel.1.gz
share/metainfo/$app_id.metainfo.xml"
installed=$(cd "$prefix" && find . -type f -printf '%P\n' | LC_ALL=C sort)
[ "$installed" = "$(LC_ALL=C sort <<< "$expected")" ] ||
  fail "installed files differ from the expected ones:$(diff <(LC_ALL=C sort <<< "$expected") <(echo "$installed"))"
[ "$(find "$root" -mindepth 1 -maxdepth 1)" = "$prefix" ] || fail "files outside the prefix: $(ls -A "$root")"

# PNG width and height are big-endian words at bytes 16 and 20.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }'; }
for size in 48 256; do
  png=$prefix/share/icons/hicolor/${size}x$size/apps/orvel.png
  [ -f "$png" ] && [ "$(png_size "$png")" = "${size}x$size" ] || fail "$png is not ${size}x$size"
done

desktop=$prefix/share/applications/$app_id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
grep -qx 'Exec=orvel %f' "$desktop" || fail "desktop entry does not run 'orvel %f'"
for type in image/bmp image/tiff image/jpeg image/png; do
  grep -q "^MimeType=.*$type;" "$desktop" || fail "desktop entry lacks $type"
done
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "icon '$icon' of the desktop entry is not installed"

metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo lacks release $version"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "metainfo does not launch the installed desktop entry"
grep -q '<image>https://[^<]*/viewer-2d.png</image>' "$metainfo" || fail "metainfo lacks the screenshot"

for page in orvel orvel-analyze orvel-phantom; do
  file=$prefix/share/man/man1/$page.1.gz
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 > "$root/$page.txt") || fail "man -l $page fails"
  [ -z "$warnings" ] || fail "man -l $page warns: $warnings"
  grep -q "^ *$page - " "$root/$page.txt" || fail "$page(1) has no NAME line for $page"
  grep -q "Orvel $version" "$root/$page.txt" || fail "$page(1) does not state version $version"
done
# Every option that --help lists is described in the manual page.
for program in orvel-analyze orvel-phantom; do
  for option in $("$prefix/bin/$program" --help | grep -o '^  --[a-z0-9]*'); do
    grep -q "^ *$option\b" "$root/$program.txt" || fail "$program(1) does not describe $option"
  done
done

for program in orvel-analyze orvel-phantom; do
  [ "$("$prefix/bin/$program" --version)" = "$program $version" ] || fail "$program --version is not '$program $version'"
done

[ "$failures" -eq 0 ]
