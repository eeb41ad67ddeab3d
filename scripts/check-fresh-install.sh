#!/usr/bin/env bash
# Proves that a fresh, minimal Debian 12 needs nothing but this project's files: builds a minimal
# bookworm system with debootstrap in a temporary folder, copies the git-tracked files of this
# working tree into it, and runs `bash scripts/test.sh` there as root; then starts the program once
# through `bash scripts/run.sh` under Xvfb and leaves it through File > Exit.
#
# Run on demand, as root, on a Debian machine with network access to the mirror (not part of CI):
#     bash scripts/check-fresh-install.sh [--keep]
# --keep leaves the system in place and prints where it is. The debootstrap tarball and the packages
# apt downloads are kept in $BRENNIX_FRESH_CACHE (default /var/cache/brennix-fresh), so a second run
# downloads nothing it already has; the system itself is built anew every time.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="${BRENNIX_FRESH_CACHE:-/var/cache/brennix-fresh}"
mirror="${BRENNIX_FRESH_MIRROR:-http://deb.debian.org/debian}"
suite=bookworm
keep=0
[ "${1:-}" = "--keep" ] && keep=1

say() { echo "check-fresh-install: $*"; }

[ "$(id -u)" -eq 0 ] || { say "run me as root (debootstrap and chroot need it)"; exit 2; }
command -v git >/dev/null || { say "git is needed to list the project's files"; exit 2; }
if ! command -v debootstrap >/dev/null; then
    say "installing debootstrap"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q --no-install-recommends debootstrap >/dev/null 2>&1 \
        || { apt-get update -q >/dev/null && apt-get install -y -q --no-install-recommends debootstrap >/dev/null; }
fi

mkdir -p "$cache/archives/partial"
tarball="$cache/$suite-minbase.tgz"
root="$(mktemp -d /var/tmp/brennix-fresh.XXXXXX)"
# mktemp makes it private; the root folder of a real system is open to every user.
chmod 755 "$root"
log="$cache/last-run.log"
mounted=()

cleanup() {
    local i p
    # Whatever still runs inside (a program left behind by a failed step) is ended first.
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -9 "${p#/proc/}" 2>/dev/null
    done
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[$i]}" 2>/dev/null || umount -l "${mounted[$i]}" 2>/dev/null || true
    done
    if [ "$keep" -eq 1 ]; then
        say "the system is kept in $root"
    else
        # Never remove a folder that still has something mounted inside it.
        if ! grep -q " $root/" /proc/mounts; then rm -rf "$root"; else say "left $root: a mount is still busy"; fi
    fi
}
trap cleanup EXIT

start=$SECONDS
if [ ! -f "$tarball" ]; then
    say "downloading the base system of $suite (once; kept in $tarball)"
    work="$(mktemp -d /var/tmp/brennix-fresh-dl.XXXXXX)"
    debootstrap --variant=minbase --make-tarball="$tarball.part" "$suite" "$work" "$mirror" >"$cache/debootstrap.log" 2>&1 \
        || { rm -rf "$work"; tail -n 20 "$cache/debootstrap.log"; say "debootstrap could not download $suite"; exit 1; }
    rm -rf "$work"
    mv "$tarball.part" "$tarball"
fi
say "building a minimal $suite in $root"
debootstrap --variant=minbase --unpack-tarball="$tarball" "$suite" "$root" "$mirror" >"$cache/debootstrap.log" 2>&1 \
    || { tail -n 20 "$cache/debootstrap.log"; say "debootstrap failed"; exit 1; }

# The same package sources a freshly installed Debian 12 has.
cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror $suite main
deb $mirror $suite-updates main
deb http://deb.debian.org/debian-security $suite-security main
EOF
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

bind() { mkdir -p "$2" && mount "${@:3}" "$1" "$2" && mounted+=("$2"); }
bind proc "$root/proc" -t proc
bind sysfs "$root/sys" -t sysfs
bind /dev "$root/dev" --bind
bind devpts "$root/dev/pts" -t devpts -o newinstance,ptmxmode=0666
bind tmpfs "$root/dev/shm" -t tmpfs
bind "$cache/archives" "$root/var/cache/apt/archives" --bind

say "copying the tracked files of $here"
mkdir -p "$root/root/brennix"
(cd "$here" && git ls-files -z | while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done \
    | tar --null -T - -cf -) | tar -xf - -C "$root/root/brennix"

# As root in a clean environment: no variable, tool or package of this machine leaks in.
inside() {
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "cd /root/brennix && $1"
}

say "running bash scripts/test.sh inside (log: $log)"
set +e
inside "bash scripts/test.sh" >"$log" 2>&1
tested=$?
run=1
if [ $tested -eq 0 ]; then
    # run.sh ends in the program itself: let it show its window, then leave through File > Exit.
    printf 'wait 1000\nmenu File/Exit\n' >"$root/root/exit-script"
    inside "BRENNIX_TEST_SCRIPT=/root/exit-script timeout 300 xvfb-run -a bash scripts/run.sh" >>"$log" 2>&1
    run=$?
fi
set -e

echo "----- last lines of the log"
grep -v '^\s*$' "$log" | tail -n 12
echo "-----"
minutes=$(((SECONDS - start + 59) / 60))
if [ $tested -ne 0 ]; then
    say "FAILED: bash scripts/test.sh ended with status $tested in a fresh Debian 12 ($minutes min)"
    exit 1
fi
if [ $run -ne 0 ]; then
    say "FAILED: bash scripts/run.sh did not start and end the program (status $run) ($minutes min)"
    exit 1
fi
say "PASSED: in a fresh minimal Debian 12, bash scripts/test.sh passed and bash scripts/run.sh started the program and left it through File > Exit ($minutes min)"
