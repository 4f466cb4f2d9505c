# Shared by the scripts in scripts/: installing what is missing, building, a virtual display.
# Sourced, not run.

GRAVEFALL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Debian packages the build, the tests and the demo need.
GRAVEFALL_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libglfw3-dev python3-glad libstb-dev libfreetype-dev fonts-dejavu-core
  libgtk-3-dev libglib2.0-dev libxrandr-dev libyaml-dev librsvg2-dev librsvg2-common adwaita-icon-theme
  webp-pixbuf-loader libavif-gdk-pixbuf heif-gdk-pixbuf
  gsettings-desktop-schemas cinnamon-desktop-data mate-desktop-common
  gnome-shell-common nemo-data caja-common budgie-desktop-view libglib2.0-bin
  dbus gvfs dconf-gsettings-backend
  libgtest-dev libbenchmark-dev
  python3 python3-cairo python3-numpy
  xvfb xdotool x11-utils x11-xserver-utils python3-xlib imagemagick libgl1-mesa-dri
  xserver-xorg-core xserver-xorg-video-dummy xscreensaver sway xwayland
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

# The desktop-icons extension's settings schema, from its Debian package without installing it
# (the package would pull in the whole GNOME Shell): compiled into a cache folder the tests use.
# Prints the folder.
ensure_ding_schema() {
  local cache=${XDG_CACHE_HOME:-$HOME/.cache}/gravefall/ding-schema
  if [ ! -f "$cache/gschemas.compiled" ]; then
    local scratch
    scratch=$(mktemp -d)
    (cd "$scratch" && apt-get download gnome-shell-extension-desktop-icons-ng >/dev/null) || {
      as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
      (cd "$scratch" && apt-get download gnome-shell-extension-desktop-icons-ng >/dev/null)
    }
    dpkg-deb -x "$scratch"/gnome-shell-extension-desktop-icons-ng_*.deb "$scratch/root"
    mkdir -p "$cache"
    cp "$scratch"/root/usr/share/glib-2.0/schemas/org.gnome.shell.extensions.ding.gschema.xml "$cache/"
    glib-compile-schemas "$cache"
    rm -rf "$scratch"
  fi
  echo "$cache"
}
