#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a build folder, then checks it as dpkg,
# lintian and a user see it: the same files as the install tree, Depends
# from the linked libraries, no lintian errors nor hardening remarks (the
# rest is listed), and the packaged program, unpacked into a throwaway root,
# runs.
set -euo pipefail
build=$(cd "$1" && pwd) version=$2
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tesuko-deb.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
# The tools below keep caches in the home folder: a throwaway one.
mkdir -m 700 "$tmp/home"
export HOME="$tmp/home" XDG_CACHE_HOME="$tmp/home/.cache" XDG_CONFIG_HOME="$tmp/home/.config"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; exit 1; }
deb=$(echo "$tmp"/pkg/*.deb)
echo "== $(basename "$deb")"
dpkg-deb --contents "$deb"

# Files and links, not folders, as paths below the root.
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print substr($6, 3) }' | sort >"$tmp/in-deb"
DESTDIR="$tmp/tree" cmake --install "$build" --prefix /usr >/dev/null
(cd "$tmp/tree" && find . ! -type d | cut -c3- | sort) >"$tmp/in-tree"
diff -u "$tmp/in-tree" "$tmp/in-deb" || fail "the package and the install tree differ"

id=io.github.tesuko.Tesuko
expected=(usr/bin/tesuko usr/libexec/tesuko/tesuko-tray "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml"
  usr/share/man/man1/tesuko.1.gz usr/share/doc/tesuko/copyright usr/share/doc/tesuko/changelog.gz
  "usr/share/icons/hicolor/scalable/apps/$id.svg")
for state in recording paused stopped; do
  expected+=("usr/share/icons/hicolor/symbolic/apps/$id-$state-symbolic.svg")
done
for size in 16 22 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x$size/apps/$id.png")
  for state in recording paused stopped; do
    expected+=("usr/share/icons/hicolor/${size}x$size/status/$id-$state.png")
  done
done
for path in "${expected[@]}"; do
  grep -qxF "$path" "$tmp/in-deb" || fail "the package lacks $path"
done

# Every package that holds a library the programs link to, as this
# release names it (libicu72 on Debian 12, libicu76 on 13).
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
names=", $(sed 's/ ([^)]*)//g' <<<"$depends"), "
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for soname in $(objdump -p "$build"/app/tesuko{,-tray} | awk '$1 == "NEEDED" { print $2 }' | sort -u); do
  package=$(dpkg -S "*/$multiarch/$soname" 2>/dev/null | cut -d: -f1 | sort -u | head -1)
  [[ -n "$package" ]] || { fail "no package holds $soname"; continue; }
  [[ "$names" == *", $package, "* ]] || fail "Depends lacks $package (for $soname)"
done
recommends=", $(dpkg-deb --field "$deb" Recommends), "
for package in qt6-wayland qt6-translations-l10n; do
  [[ "$recommends" == *", $package, "* ]] || fail "Recommends lacks $package"
done

lintian --fail-on error --display-level '>=info' "$deb" >"$tmp/lintian.log" 2>&1 ||
  fail "lintian reports errors"
sed 's/^/lintian: /' "$tmp/lintian.log"
# Built with Debian's hardening flags, which lintian reports at the info level.
! grep -q ': hardening-' "$tmp/lintian.log" || fail "lintian finds the programs not hardened"

dpkg-deb --extract "$deb" "$tmp/root"
run() {
  env -i PATH=/usr/bin:/bin HOME="$tmp/home" LC_ALL=C.UTF-8 "$tmp/root/usr/bin/tesuko" "$@"
}
[[ "$(run --version)" == "tesuko $version"$'\n'"License GPLv3+: "* ]] ||
  fail "--version says '$(run --version)'"
# tesuko finds its tray program where the package put it.
[[ "$(run 2>&1)" == *"no display to watch"* ]] || fail "tesuko does not start its tray program"
cat >"$tmp/log.csv" <<'LOG'
2026年12月05日 13時40分48秒,Editor,notes.txt,3,10,600.000000
2026年12月05日 13時50分48秒,Browser,News,1,0,300.400000
2026年12月05日 13時55分48秒,Editor,notes.txt,0,4,100.000000
LOG
printf '1 : %-44s%s\n2 : %-44s%s\n' Editor 700 Browser 300 >"$tmp/expected-top"
run --top --log="$tmp/log.csv" >"$tmp/top" || fail "--top failed"
diff -u "$tmp/expected-top" "$tmp/top" || fail "--top printed other rows"
exit $failed
