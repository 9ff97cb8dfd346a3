#!/bin/sh
# Builds the C and C++ examples out of the source tree against an installed
# Q5Client: the C example with CMake and with pkg-config, the C++ example
# with CMake.
#
# Usage: examples/build-against.sh PREFIX BUILD_DIR
# Leaves q5-read-field-c, q5-read-field-c-pkgconfig and q5-read-field-cpp in
# BUILD_DIR; exits non-zero on the first failure.
set -eu
if [ $# -ne 2 ]; then
    echo "usage: $0 PREFIX BUILD_DIR" >&2
    exit 2
fi
prefix=$(cd "$1" && pwd)
mkdir -p "$2"
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

# pkg-config files live under lib/, lib/<multiarch>/ or share/ of the prefix.
pc_path=$(find "$prefix" -type d -name pkgconfig | tr '\n' ':')
PKG_CONFIG_PATH="${pc_path}${PKG_CONFIG_PATH:-}"
export PKG_CONFIG_PATH
CMAKE_PREFIX_PATH="$prefix${CMAKE_PREFIX_PATH:+:$CMAKE_PREFIX_PATH}"
export CMAKE_PREFIX_PATH

for lang in c cpp; do
    cmake -S "$here/$lang" -B "$build/$lang" -DCMAKE_BUILD_TYPE=Release
    cmake --build "$build/$lang"
    cp "$build/$lang/q5-read-field-$lang" "$build/"
done
make -s -C "$here/c" OUT="$build"
