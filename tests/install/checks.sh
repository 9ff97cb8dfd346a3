# Checks of an installed tree, shared by the install and the package test.
# Sourced; each check prints what is wrong and returns 1.

# The files and links an installation holds, relative to its prefix.
expected_files() {
    local lib="$1"
    printf '%s\n' \
        bin/q5client bin/q5ctl bin/q5regsvr bin/q5sim \
        include/q5client/com.h include/q5client/q5client.h include/q5client/q5client_c.h \
        "$lib/libq5com.so" "$lib/libq5com.so.1" "$lib/libq5com.so.1.0.0" \
        "$lib/q5client/libq5client.so" \
        "$lib/pkgconfig/q5com.pc" \
        "$lib/cmake/Q5Client/Q5ClientConfig.cmake" "$lib/cmake/Q5Client/Q5ClientConfigVersion.cmake" \
        "$lib/cmake/Q5Client/Q5ClientTargets.cmake" "$lib/cmake/Q5Client/Q5ClientTargets-release.cmake" \
        share/applications/org.q5client.Q5Client.desktop \
        share/icons/hicolor/scalable/apps/org.q5client.Q5Client.svg \
        share/metainfo/org.q5client.Q5Client.metainfo.xml \
        share/man/man1/q5client.1.gz share/man/man1/q5ctl.1.gz share/man/man1/q5regsvr.1.gz share/man/man1/q5sim.1.gz \
        share/doc/q5client/changelog.gz share/doc/q5client/copyright \
        share/q5client/translations/q5client_de.qm share/q5client/translations/q5client_es.qm |
        sort
}

dynamic_entry() {  # FILE TAG: the bracketed value of a dynamic section entry
    readelf -d "$1" | sed -n "s/.*($2)[^[]*\[\(.*\)\]/\1/p"
}

# check_tree PREFIX_DIR LIBDIR BUILD_DIR
check_tree() {
    local root="$1" lib="$2" build="$3" bad=0
    local actual expected
    actual="$(cd "$root" && find . \( -type f -o -type l \) -printf '%P\n' | sort)"
    expected="$(expected_files "$lib")"
    if [[ "$actual" != "$expected" ]]; then
        echo "FAIL: installed files differ from the expected list (< expected, > installed):"
        diff <(echo "$expected") <(echo "$actual") || true
        bad=1
    fi
    local soname
    soname="$(dynamic_entry "$root/$lib/libq5com.so.1.0.0" SONAME)"
    [[ "$soname" == libq5com.so.1 ]] || { echo "FAIL: SONAME of libq5com is '$soname'"; bad=1; }
    [[ "$(readlink "$root/$lib/libq5com.so")" == libq5com.so.1 &&
        "$(readlink "$root/$lib/libq5com.so.1")" == libq5com.so.1.0.0 ]] ||
        { echo "FAIL: libq5com.so links: $(ls -l "$root/$lib"/libq5com.so*)"; bad=1; }
    local want="\$ORIGIN/../$lib" file runpath
    for file in bin/q5client bin/q5ctl bin/q5regsvr; do
        runpath="$(dynamic_entry "$root/$file" RUNPATH)$(dynamic_entry "$root/$file" RPATH)"
        [[ "$runpath" == "$want" ]] || { echo "FAIL: RUNPATH of $file is '$runpath', not '$want'"; bad=1; }
        [[ "$(dynamic_entry "$root/$file" NEEDED)" == *libq5com.so.1* ]] ||
            { echo "FAIL: $file does not need libq5com.so.1"; bad=1; }
    done
    for file in bin/q5sim "$lib/libq5com.so.1.0.0" "$lib/q5client/libq5client.so"; do
        runpath="$(dynamic_entry "$root/$file" RUNPATH)$(dynamic_entry "$root/$file" RPATH)"
        [[ -z "$runpath" ]] || { echo "FAIL: $file has a RUNPATH '$runpath'"; bad=1; }
    done
    local leaks
    leaks="$(grep -rlF -- "$build" "$root" || true)"
    [[ -z "$leaks" ]] || { echo "FAIL: installed files holding the build folder's path $build:"; echo "$leaks"; bad=1; }
    return $bad
}
