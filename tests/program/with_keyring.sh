#!/bin/sh
# Runs a command inside a private D-Bus session with an unlocked keyring
# (the Secret Service of gnome-keyring-daemon), all in a temp folder.
# Usage: with_keyring.sh COMMAND [ARGS...]
set -eu
root="$(mktemp -d /tmp/q5keyring-XXXXXX)"
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/data" "$root/config" "$root/runtime"
chmod 700 "$root/runtime"
export XDG_DATA_HOME="$root/data" XDG_CONFIG_HOME="$root/config" XDG_RUNTIME_DIR="$root/runtime" HOME="$root"
export Q5_TEST_KEYRING=1
# The daemon unlocks (creating) the login keyring with the password read on
# its standard input; an empty password would leave it locked.
exec dbus-run-session -- sh -c '
  printf "q5-test-keyring" | gnome-keyring-daemon --unlock --components=secrets >/dev/null
  exec "$@"' with_keyring "$@"
