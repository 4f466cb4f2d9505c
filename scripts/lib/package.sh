# Shared by scripts/package and scripts/test-package: the Release tree the Debian package is made
# from, the package itself, its lintian check and the Windows zip. Sourced after common.sh.

# What packing and checking the packages needs beyond GRAVEFALL_PACKAGES.
GRAVEFALL_PACKAGE_TOOLS=(
  dpkg-dev binutils lintian desktop-file-utils man-db groff-base icoutils python3
)

GRAVEFALL_PACKAGE_BUILD=$GRAVEFALL_ROOT/build-package
GRAVEFALL_DIST=$GRAVEFALL_ROOT/dist

# Dates in the manual page, the changelog and the zip come from the last commit, so that the same
# sources give the same packages.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$GRAVEFALL_ROOT" log -1 --format=%ct 2>/dev/null || date +%s)
fi
export SOURCE_DATE_EPOCH

# The version of the project() line, as the configured package tree recorded it.
package_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$GRAVEFALL_PACKAGE_BUILD/CMakeCache.txt"
}

# Debian's flags for a hardened build, less -g and -O2 (the binary is stripped; Release sets -O3).
hardened_flags() {
  local flag kept=()
  for flag in $(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"); do
    case $flag in -g | -O2) ;; *) kept+=("$flag") ;; esac
  done
  echo "${kept[*]}"
}

# A Release tree without tests or benchmarks, built with those flags; configured on every run so
# that the flags follow dpkg-buildflags. Debian keeps games in /usr/games; a plain
# `cmake --install` of another tree uses bin/. With 0 as argument it is configured only.
build_package_tree() {
  local cppflags
  cppflags=$(hardened_flags CPPFLAGS)
  cmake -S "$GRAVEFALL_ROOT" -B "$GRAVEFALL_PACKAGE_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DGRAVEFALL_TESTS=OFF -DGRAVEFALL_BENCHMARKS=OFF -DCMAKE_INSTALL_BINDIR=games \
    "-DCMAKE_C_FLAGS=$(hardened_flags CFLAGS) $cppflags" \
    "-DCMAKE_CXX_FLAGS=$(hardened_flags CXXFLAGS) $cppflags" \
    "-DCMAKE_EXE_LINKER_FLAGS=$(hardened_flags LDFLAGS)" >/dev/null
  [ "${1:-1}" = 0 ] || cmake --build "$GRAVEFALL_PACKAGE_BUILD" -- -j"$(nproc)"
}

# Packs the tree with CPack into dist/ and prints the .deb's path.
make_deb() {
  local version staging deb
  version=$(package_version)
  staging=$GRAVEFALL_PACKAGE_BUILD/cpack
  rm -rf "$staging"
  (cd "$GRAVEFALL_PACKAGE_BUILD" && cpack -G DEB -B "$staging" >"$staging.log" 2>&1) ||
    { cat "$staging.log" >&2; return 1; }
  deb=$(find "$staging" -maxdepth 1 -name "gravefall_${version}_*.deb" | head -n 1)
  [ -n "$deb" ] || { echo "CPack made no gravefall_${version} package" >&2; return 1; }
  mkdir -p "$GRAVEFALL_DIST"
  rm -f "$GRAVEFALL_DIST"/gravefall_*.deb
  mv "$deb" "$GRAVEFALL_DIST/"
  echo "$GRAVEFALL_DIST/$(basename "$deb")"
}

# Prints lintian's findings on the .deb; fails on any error.
lintian_deb() {
  # lintian only warns that it runs as root.
  lintian --fail-on error --display-info "$1" 2> >(grep -v 'running with root privileges' >&2)
}

# dist/gravefall-<version>-windows-x64.zip: the .scr and its README.txt, dated by the last commit.
make_windows_zip() {
  local version zip
  version=$(package_version)
  zip=$GRAVEFALL_DIST/gravefall-${version}-windows-x64.zip
  mkdir -p "$GRAVEFALL_DIST"
  rm -f "$GRAVEFALL_DIST"/gravefall-*-windows-x64.zip
  python3 - "$zip" "$GRAVEFALL_WINDOWS_BUILD/gravefall.scr" "$GRAVEFALL_WINDOWS_BUILD/README.txt" <<'EOF'
import os, sys, time, zipfile
zip_path, *files = sys.argv[1:]
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]  # zip dates start in 1980
with zipfile.ZipFile(zip_path, "w") as archive:
    for path in files:
        entry = zipfile.ZipInfo(os.path.basename(path), date_time=stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.external_attr = 0o644 << 16
        with open(path, "rb") as source:
            archive.writestr(entry, source.read(), compresslevel=9)
EOF
  echo "$zip"
}
