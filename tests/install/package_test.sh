#!/usr/bin/env bash
# Builds the Debian package from the release tree, runs lintian on it (no
# error allowed), extracts it and checks the installed files, the maintainer
# scripts, the desktop entry and the metainfo.
# Usage: package_test.sh RELEASE_BUILD_DIR BUILD_DIR LIBDIR
set -euo pipefail
release="$1" build="$2" lib="$3"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/checks.sh"
began=$SECONDS
tmp="$(mktemp -d /tmp/q5package-test-XXXXXX)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$release" && cpack -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; fail "cpack -G DEB"; }
debs=("$tmp"/out/q5client_*.deb)
((${#debs[@]} == 1)) && [[ -f "${debs[0]}" ]] || fail "cpack made no single q5client_*.deb: $(ls "$tmp/out")"
deb="${debs[0]}"
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

lintian_out="$(lintian "$deb" 2>&1 || true)"
echo "lintian:"
echo "${lintian_out:-(nothing)}"
! grep -q '^E:' <<<"$lintian_out" || fail "lintian reports errors"

dpkg-deb -x "$deb" "$tmp/root"
dpkg-deb -e "$deb" "$tmp/control"
check_tree "$tmp/root/usr" "$lib" "$build"
depends="$(sed -n 's/^Depends: //p' "$tmp/control/control")"
echo "Depends: $depends"
[[ "$depends" == *libc6* && "$depends" == *libqt6widgets6* ]] || fail "Depends lacks what the programs need"
packaged="/usr/$lib/q5client/libq5client.so"
grep -qF "q5regsvr --system $packaged" "$tmp/control/postinst" || fail "postinst does not register $packaged"
grep -qF "q5regsvr --system -u $packaged" "$tmp/control/prerm" || fail "prerm does not unregister $packaged"

desktop-file-validate "$tmp/root/usr/share/applications/org.q5client.Q5Client.desktop" >"$tmp/desktop.log" 2>&1 || true
[[ ! -s "$tmp/desktop.log" ]] || { cat "$tmp/desktop.log"; fail "desktop-file-validate"; }
appstreamcli validate --no-net "$tmp/root/usr/share/metainfo/org.q5client.Q5Client.metainfo.xml" ||
    fail "appstreamcli validate"

echo "package test: $((SECONDS - began)) s"
