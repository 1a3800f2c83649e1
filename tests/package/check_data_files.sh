#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The launcher, the AppStream metadata and the manual page pass their
# validators without a remark, and each names the project's version; every
# text of the interface has its Japanese translation.
set -euo pipefail
source_dir=$1 version=$2
data="$source_dir/data"
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

out=$(desktop-file-validate "$data/io.github.tesuko.Tesuko.desktop" 2>&1) || fail "desktop-file-validate"
[[ -z "$out" ]] || fail "desktop-file-validate: $out"

out=$(appstreamcli validate --no-net "$data/io.github.tesuko.Tesuko.metainfo.xml" 2>&1) ||
  fail "appstreamcli validate: $out"
# AppStream before 1.0 (Debian 12) does not know <developer> yet, which 1.0
# asks for in place of <developer_name>.
! grep -E '^[EWI]: ' <<<"$out" | grep -v ': unknown-tag developer$' || fail "appstreamcli remarks"

out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$data/tesuko.1" 2>&1 >/dev/null) || fail "man"
[[ -z "$out" ]] || fail "man --warnings: $out"

qt_bin=/usr/lib/qt6/bin
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tesuko-data.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
cp "$data/translations/tesuko_ja.ts" "$tmp/"
"$qt_bin/lupdate" -silent -I "$source_dir" "$source_dir/platform/qt" "$source_dir/app/desktop" \
  -no-obsolete -locations none -ts "$tmp/tesuko_ja.ts"
out=$("$qt_bin/lrelease" "$tmp/tesuko_ja.ts" -qm "$tmp/tesuko_ja.qm")
grep -q " 0 unfinished" <<<"$out" && ! grep -q "untranslated" <<<"$out" ||
  fail "texts without a Japanese translation: build the tesuko_update_translations target and translate them in data/translations/tesuko_ja.ts ($out)"

grep -q "<release version=\"$version\"" "$data/io.github.tesuko.Tesuko.metainfo.xml" ||
  fail "the metainfo has no release $version"
grep -q "^\.TH TESUKO 1 .*\"tesuko $version\"" "$data/tesuko.1" || fail "the manual page is not of $version"
head -1 "$data/changelog" | grep -qF "tesuko ($version)" || fail "the changelog does not begin with $version"
exit $failed
