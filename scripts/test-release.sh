#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds tesuko and runs its plain test suite, the real desktops included,
# in a chroot of another Debian release:
#   scripts/test-release.sh RELEASE        (trixie, forky, testing, bookworm…)
# The chroot is made with debootstrap once, under $TESUKO_CHROOTS
# (/var/cache/tesuko-chroot), and reused with its packages and its build
# folder, so a second run builds only what changed. The source tree is copied
# in as it is in the working tree (tracked files and untracked ones git does
# not ignore). Needs root, or sudo.
set -euo pipefail
release=${1:?usage: scripts/test-release.sh RELEASE}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
chroots=${TESUKO_CHROOTS:-/var/cache/tesuko-chroot}
root=$chroots/$release
jobs=${JOBS:-$(nproc)}

if [[ $(id -u) -ne 0 ]]; then
  exec sudo --preserve-env=TESUKO_CHROOTS,JOBS,CI bash "$0" "$@"
fi

say() { echo "== test-release $release: $*"; }
started=$SECONDS

make_chroot() {
  local partial=$root.partial script=""
  rm -rf "$partial"
  mkdir -p "$chroots"
  # An older debootstrap may know no script for a newer release: testing
  # is made the way sid is.
  [[ -e /usr/share/debootstrap/scripts/$release ]] || script=/usr/share/debootstrap/scripts/sid
  say "making the chroot with debootstrap"
  debootstrap --variant=minbase "$release" "$partial" "" $script >"$chroots/$release.debootstrap.log" 2>&1 ||
    { tail -20 "$chroots/$release.debootstrap.log" >&2; exit 1; }
  # A moving release's Release file may be older than apt's validity window.
  echo 'Acquire::Check-Valid-Until "false";' >"$partial/etc/apt/apt.conf.d/99tesuko-valid"
  # Installing a package must not start its service on this machine.
  printf '#!/bin/sh\nexit 101\n' >"$partial/usr/sbin/policy-rc.d"
  chmod 755 "$partial/usr/sbin/policy-rc.d"
  mv "$partial" "$root"
}

mounted=()
unmount_all() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount --lazy "${mounted[i]}" || true
  done
}
trap unmount_all EXIT

# The host's /dev/shm may be a root-only folder: the chroot gets a tmpfs of
# its own, which unprivileged compositors can use.
mount_system_folders() {
  local d
  for d in proc sys dev dev/pts; do
    if ! mountpoint -q "$root/$d"; then
      mount --bind "/$d" "$root/$d"
      mounted+=("$root/$d")
    fi
  done
  if ! mountpoint -q "$root/dev/shm" || [[ "$(stat -c %a "$root/dev/shm")" != 1777 ]]; then
    mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
    mounted+=("$root/dev/shm")
  fi
}

# Only files whose content changed are written, and they get the time of
# the copy: the kept build folder rebuilds what depends on them, even when
# it last built after the edit (from the copy before it).
copy_tree() {
  say "copying the working tree"
  local tree=$root/src/tesuko staging=$root/src/tesuko.new file
  rm -rf "$staging"
  mkdir -p "$staging" "$tree"
  chmod 755 "$root/src"
  (cd "$source_dir" && git ls-files -co --exclude-standard -z |
    while IFS= read -r -d '' file; do if [[ -e $file ]]; then printf '%s\0' "$file"; fi; done |
    tar --null -T - -cf -) | tar -xf - -C "$staging"
  while IFS= read -r -d '' file; do
    if ! cmp -s "$staging/$file" "$tree/$file"; then
      mkdir -p "$(dirname "$tree/$file")"
      cp "$staging/$file" "$tree/$file"
    fi
  done < <(cd "$staging" && find . -type f -print0)
  while IFS= read -r -d '' file; do
    [[ -e "$staging/$file" ]] || rm -f "$tree/$file"
  done < <(cd "$tree" && find . -type f -print0)
  rm -rf "$staging"
}

in_chroot() {
  chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    TERM=dumb CI="${CI:-}" "$@"
}

[[ -e "$root/etc/debian_version" ]] || make_chroot
mount_system_folders
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_chroot bash -c 'command -v make >/dev/null || {
  apt-get -o DPkg::Lock::Timeout=600 -qq update &&
  DEBIAN_FRONTEND=noninteractive apt-get -qq install -y --no-install-recommends make >/dev/null; }'
copy_tree
say "Debian $(cat "$root/etc/debian_version"); installing, building and testing"
in_chroot make -C /src/tesuko test-plain BUILD=/src/build JOBS="$jobs"
say "passed in $((SECONDS - started)) s"
