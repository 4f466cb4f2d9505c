# Shared by scripts/build-windows and scripts/test-windows: the MinGW-w64 cross build of the .scr,
# the Windows builds of its libraries (cached between runs) and a throwaway Wine prefix.
# Sourced after common.sh, not run.

GRAVEFALL_WINDOWS_PACKAGES=(
  cmake ninja-build pkg-config dpkg-dev
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  python3-glad libstb-dev fonts-dejavu-core libgtest-dev icoutils
  python3 python3-cairo python3-numpy
  wine wine64 xvfb xdotool x11-utils imagemagick libgl1-mesa-dri libgl1
)

GRAVEFALL_WINDOWS_BUILD=${GRAVEFALL_WINDOWS_BUILD:-$GRAVEFALL_ROOT/build-windows}
# Outside the work tree, so that it survives fresh clones on the same machine (CI's too).
GRAVEFALL_WINDOWS_CACHE=${GRAVEFALL_WINDOWS_CACHE:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/gravefall-windows}
GRAVEFALL_WINDOWS_DEPS=$GRAVEFALL_WINDOWS_CACHE/prefix
export GRAVEFALL_WINDOWS_DEPS

# Bump when the way the libraries are built changes: a different recipe means a rebuild.
GRAVEFALL_WINDOWS_RECIPE=1

# apt-get source needs source indexes; Debian 12 images often ship binary ones only. The new
# entry mirrors the machine's own binary entries (same archive, suites and signing key).
ensure_deb_src() {
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  echo "Adding Debian source package entries"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      as_root tee /etc/apt/sources.list.d/gravefall-deb-src.sources >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      as_root tee /etc/apt/sources.list.d/gravefall-deb-src.list >/dev/null
  else
    echo "No apt sources found to derive source entries from" >&2
    return 1
  fi
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
}

windows_toolchain_id() {
  echo "recipe=$GRAVEFALL_WINDOWS_RECIPE"
  x86_64-w64-mingw32-g++-posix --version | head -n 1
  dpkg-query -W -f='gtest=${Version}\n' libgtest-dev
  # The newest source versions apt knows of: a security update of either means a rebuild.
  local package
  for package in glfw3 freetype; do
    echo "$package=$(apt-cache showsrc --only-source "$package" 2>/dev/null |
      sed -n 's/^Version: //p' | sort -V | tail -n 1)"
  done
}

# cmake_windows_install SOURCE_DIR BUILD_DIR [cmake options...]: a static release build installed
# into the dependency prefix.
cmake_windows_install() {
  local source=$1 build=$2; shift 2
  cmake -S "$source" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$GRAVEFALL_ROOT/cmake/mingw-w64.cmake" \
    -DGRAVEFALL_WINDOWS_DEPS="$GRAVEFALL_WINDOWS_DEPS" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_INSTALL_PREFIX="$GRAVEFALL_WINDOWS_DEPS" "$@" >"$build.configure.log" 2>&1 ||
    { cat "$build.configure.log" >&2; return 1; }
  cmake --build "$build" --target install -- -j"$(nproc)" >"$build.build.log" 2>&1 ||
    { tail -n 50 "$build.build.log" >&2; return 1; }
}

# Builds GLFW and FreeType from Debian's source packages and GoogleTest from the sources in
# libgtest-dev, once: later runs reuse the prefix until the recipe or the compiler changes.
ensure_windows_dependencies() {
  local stamp=$GRAVEFALL_WINDOWS_DEPS/.gravefall-stamp wanted
  wanted=$(windows_toolchain_id)
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
    return 0
  fi
  echo "Building the Windows libraries into $GRAVEFALL_WINDOWS_DEPS"
  ensure_deb_src
  rm -rf "$GRAVEFALL_WINDOWS_DEPS" "$GRAVEFALL_WINDOWS_CACHE/work"
  mkdir -p "$GRAVEFALL_WINDOWS_DEPS" "$GRAVEFALL_WINDOWS_CACHE/work"
  local work=$GRAVEFALL_WINDOWS_CACHE/work
  (cd "$work" && apt-get source -qq glfw3 freetype >apt-source.log 2>&1) ||
    { cat "$work/apt-source.log" >&2; return 1; }
  local glfw_source freetype_source
  glfw_source=$(find "$work" -maxdepth 1 -type d -name 'glfw3-*' | head -n 1)
  freetype_source=$(find "$work" -maxdepth 1 -type d -name 'freetype-*' | head -n 1)
  if [ -z "$glfw_source" ] || [ -z "$freetype_source" ]; then
    echo "apt-get source did not unpack glfw3 and freetype" >&2
    return 1
  fi

  echo "  GLFW from $(basename "$glfw_source")"
  cmake_windows_install "$glfw_source" "$work/glfw-build" \
    -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF -DGLFW_INSTALL=ON
  echo "  FreeType from $(basename "$freetype_source")"
  # Only TrueType outlines from memory are needed: no compressed fonts, PNG glyphs or shaping.
  cmake_windows_install "$freetype_source" "$work/freetype-build" \
    -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
  echo "  GoogleTest from /usr/src/googletest"
  cmake_windows_install /usr/src/googletest "$work/gtest-build" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
  # Header-only: copied so the cross build never puts the host's /usr/include on its path.
  mkdir -p "$GRAVEFALL_WINDOWS_DEPS/include"
  cp -r /usr/include/stb "$GRAVEFALL_WINDOWS_DEPS/include/"

  rm -rf "$work"
  # Asked again: the source versions are known only once the source entries exist.
  windows_toolchain_id >"$stamp"
}

# Configures (once) and builds the Windows tree.
build_windows_tree() {
  if [ ! -f "$GRAVEFALL_WINDOWS_BUILD/build.ninja" ]; then
    cmake -S "$GRAVEFALL_ROOT" -B "$GRAVEFALL_WINDOWS_BUILD" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$GRAVEFALL_ROOT/cmake/mingw-w64.cmake" \
      -DGRAVEFALL_WINDOWS_DEPS="$GRAVEFALL_WINDOWS_DEPS" \
      -DCMAKE_BUILD_TYPE=Release -DGRAVEFALL_BENCHMARKS=OFF >/dev/null
  fi
  cmake --build "$GRAVEFALL_WINDOWS_BUILD" -- -j"$(nproc)"
}

# A throwaway Wine prefix and HOME under $1, booted and settled, exported for what follows.
# Wine links the prefix's Desktop and Documents into $HOME, so HOME is throwaway too.
start_wine_prefix() {
  local root=$1
  mkdir -p "$root/home/Desktop" "$root/home/Documents"
  export HOME=$root/home
  export WINEPREFIX=$root/prefix
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
  wineboot -i >"$root/wineboot.log" 2>&1 </dev/null
  # Until the first boot has fully settled, COM start-up waits 10 s and fails.
  wineserver -w
  # Without a window manager, Wine's managed windows take seconds to tear down.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >"$root/reg.log" 2>&1 </dev/null
  wineserver -w
}

stop_wine_prefix() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
  fi
}
