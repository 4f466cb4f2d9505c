# Shared by the scripts in scripts/: installing what is missing, building, a virtual display.
# Sourced, not run.

GRAVEFALL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Debian packages the build, the tests and the demo need.
GRAVEFALL_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libglfw3-dev python3-glad libstb-dev libfreetype-dev fonts-dejavu-core
  libgtk-3-dev libglib2.0-dev libxrandr-dev librsvg2-dev librsvg2-common adwaita-icon-theme
  webp-pixbuf-loader libavif-gdk-pixbuf heif-gdk-pixbuf
  gsettings-desktop-schemas cinnamon-desktop-data mate-desktop-common
  libgtest-dev libbenchmark-dev
  python3 python3-cairo python3-numpy
  xvfb xdotool x11-utils python3-xlib imagemagick libgl1-mesa-dri
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the packages of the given list that are not installed yet.
ensure_packages() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build_tree DIR [cmake options...]: configures DIR (once) and builds everything in it.
# With BUILD_TARGET set, builds only those targets (separated by spaces).
build_tree() {
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$GRAVEFALL_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  fi
  # shellcheck disable=SC2086 # BUILD_TARGET may name several targets
  cmake --build "$dir" ${BUILD_TARGET:+--target $BUILD_TARGET} -- -j"$(nproc)"
}

# Starts Xvfb at 1920x1080 on a free display number and exports DISPLAY. Stopped by stop_xvfb.
start_xvfb() {
  local number=${1:-90}
  while [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ]; do number=$((number + 1)); done
  Xvfb ":${number}" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  GRAVEFALL_XVFB_PID=$!
  export DISPLAY=":${number}"
  local tries
  for tries in $(seq 1 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

stop_xvfb() {
  if [ -n "${GRAVEFALL_XVFB_PID:-}" ]; then
    kill "$GRAVEFALL_XVFB_PID" 2>/dev/null
    wait "$GRAVEFALL_XVFB_PID" 2>/dev/null
    GRAVEFALL_XVFB_PID=
  fi
}
