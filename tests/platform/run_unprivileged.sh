#!/bin/sh
# Runs a test program as an ordinary user (nobody). Root passes every permission check, so a
# test of what a read-only file refuses proves nothing as root. An ordinary user runs it as is.
# The program is copied to a scratch directory, since nobody may not reach the build tree.
set -eu
program="$1"
shift
if [ "$(id -u)" != 0 ]; then
  exec "$program" "$@"
fi
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
cp "$program" "$scratch/"
mkdir "$scratch/work"
chown 65534:65534 "$scratch/work"
cd "$scratch/work"
TMPDIR="$scratch/work" HOME="$scratch/work" \
  setpriv --reuid=65534 --regid=65534 --clear-groups "$scratch/$(basename "$program")" "$@"
