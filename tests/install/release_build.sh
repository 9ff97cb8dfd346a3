#!/usr/bin/env bash
# Configures and builds the release tree the install and package tests use:
# what a packager builds, without the tests and without the fallback to the
# build tree's library. Reruns are incremental.
# Usage: release_build.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src="$1" build="$2"
began=$SECONDS
if [[ ! -f "$build/build.ninja" ]]; then
    # A compiler launcher (ccache) in the environment is taken as it is.
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQ5_DEV_FALLBACK=OFF \
        -DQ5_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
fi
cmake --build "$build" -j2
echo "release build: $((SECONDS - began)) s"
