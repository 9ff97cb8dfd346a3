#!/usr/bin/env bash
# Installs the release tree into a temporary prefix (and once through
# DESTDIR), checks what was installed, registers the library for every user
# with the installed q5regsvr --system, and logs in to the installed q5sim
# from a small program built out of tree against the prefix, once with
# find_package(Q5Client) and once with pkg-config, with an empty HOME.
# Usage: install_test.sh SOURCE_DIR RELEASE_BUILD_DIR BUILD_DIR LIBDIR
set -euo pipefail
src="$1" release="$2" build="$3" lib="$4"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/checks.sh"
began=$SECONDS
tmp="$(mktemp -d /tmp/q5install-test-XXXXXX)"
sim_pid=
cleanup() {
    [[ -n "$sim_pid" ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

prefix="$tmp/prefix"
cmake --install "$release" --prefix "$prefix" >/dev/null
check_tree "$prefix" "$lib" "$build"
grep -qx "prefix=$prefix" "$prefix/$lib/pkgconfig/q5com.pc" || fail "q5com.pc does not name the prefix $prefix"
echo "installed: $(cd "$prefix" && find . -type f | wc -l) files, $(du -sk "$prefix" | cut -f1) KiB"

# The same tree under DESTDIR, its files naming the final prefix.
DESTDIR="$tmp/dest" cmake --install "$release" --prefix /opt/q5 >/dev/null
check_tree "$tmp/dest/opt/q5" "$lib" "$build"
grep -qx "prefix=/opt/q5" "$tmp/dest/opt/q5/$lib/pkgconfig/q5com.pc" || fail "q5com.pc under DESTDIR does not name /opt/q5"

# The emulator, installed.
mkdir -p "$tmp/sim"
"$prefix/bin/q5sim" --data "$tmp/sim" --seed-demo --listen 127.0.0.1:0 --quiet >"$tmp/sim.out" 2>"$tmp/sim.err" &
sim_pid=$!

# The out-of-tree program, both ways.
cmake -S "$here/consumer" -B "$tmp/by-cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$tmp/by-cmake" >/dev/null
mkdir -p "$tmp/by-pkgconfig"
read -ra pc_flags <<<"$(PKG_CONFIG_PATH="$prefix/$lib/pkgconfig" pkg-config --cflags --libs q5com)"
"${CXX:-c++}" -std=c++17 -o "$tmp/by-pkgconfig/q5consumer" "$here/consumer/main.cpp" "${pc_flags[@]}"

port=
for _ in $(seq 300); do
    port="$(sed -n 's/^port \([0-9]*\)$/\1/p' "$tmp/sim.out")"
    [[ -n "$port" ]] && break
    kill -0 "$sim_pid" 2>/dev/null || fail "q5sim ended: $(cat "$tmp/sim.err")"
    sleep 0.1
done
[[ -n "$port" ]] || fail "q5sim printed no port"

# A user with nothing of his own: no registry, no settings.
mkdir -p "$tmp/home" "$tmp/xdg"
as_user() {
    env -u XDG_CONFIG_HOME -u Q5COM_REGISTRY -u Q5CLIENT_LIBRARY -u LD_LIBRARY_PATH \
        HOME="$tmp/home" XDG_CONFIG_DIRS="$tmp/xdg" "$@"
}
login_all() {  # EXPECT: "logged in" or a failure
    local how out
    for how in by-cmake by-pkgconfig; do
        out="$(as_user LD_LIBRARY_PATH="$prefix/$lib" "$tmp/$how/q5consumer" 127.0.0.1 "$port" 101 1234 || true)"
        if [[ "$1" == "logged in" ]]; then
            [[ "$out" == "logged in" ]] || fail "$how, registered: $out"
        else
            [[ "$out" == "CoCreateInstance failed"* ]] || fail "$how, not registered: '$out'"
        fi
    done
}

login_all "not registered"
library="$prefix/$lib/q5client/libq5client.so"
as_user "$prefix/bin/q5regsvr" --system "$library" >/dev/null || fail "q5regsvr --system $library"
[[ -f "$tmp/xdg/q5com/registry" ]] || fail "q5regsvr --system wrote no $tmp/xdg/q5com/registry"
grep -qF "$library" "$tmp/xdg/q5com/registry" || fail "the system registry does not name $library"
login_all "logged in"
# The examples, built out of the tree against the installed prefix, read a
# field as the registered user.
"$here/../../examples/build-against.sh" "$prefix" "$tmp/examples" >"$tmp/examples.log" 2>&1 ||
    fail "the examples do not build against $prefix: $(tail -20 "$tmp/examples.log")"
for example in q5-read-field-c q5-read-field-c-pkgconfig q5-read-field-cpp; do
    out="$(as_user LD_LIBRARY_PATH="$prefix/$lib" "$tmp/examples/$example" 127.0.0.1 "$port" 101 1234 LAST_N 2>&1 || true)"
    [[ "$out" == "LAST_N=Whitfield" ]] || fail "$example printed '$out'"
done
[[ -z "$(ls -A "$tmp/home")" ]] || fail "the user's HOME got files: $(cd "$tmp/home" && find .)"
as_user "$prefix/bin/q5regsvr" --system -u "$library" >/dev/null || fail "q5regsvr --system -u $library"
login_all "not registered"

echo "install test: $((SECONDS - began)) s"
