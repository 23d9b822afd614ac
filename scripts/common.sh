# Shared by ./run and ./test: install what is missing, then configure and build.
# Sourced, not executed.

QUORVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QUORVEL_BUILD="${QUORVEL_BUILD:-$QUORVEL_ROOT/build}"

# Debian packages that building and running the program need: the compiler,
# Qt, the picture and QR code libraries, the fonts on the card and the
# label-template library.
QUORVEL_PACKAGES=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-base-dev-tools
  fonts-liberation fonts-liberation2 fonts-urw-base35 fonts-dejavu-core fonts-symbola
  glabels-data
  qt6-image-formats-plugins qt6-svg-dev libgraphicsmagick1-dev libuemf-dev
  libqrcodegencpp-dev help2man
)

# What only the tests need besides: a print spooler with a PDF queue, readers
# of printed pages and QR codes (rsvg-convert rasterises SVG exports), the
# checkers of the desktop files, and an X server with a window manager, X input,
# screenshots and a second program's clipboard (xclip) for the real-window tests.
QUORVEL_TEST_PACKAGES=(
  cups printer-driver-cups-pdf poppler-utils librsvg2-bin
  zbar-tools desktop-file-utils libxml2-utils shared-mime-info dpkg-dev
  xvfb xdotool openbox x11-apps x11-utils imagemagick xclip
)

quorvel_missing_packages() {
  local missing=()
  for p in "${QUORVEL_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]}"
}

quorvel_install() {
  local missing
  missing=$(quorvel_missing_packages "$@")
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Quorvel needs these Debian packages. Install them with:" >&2
    echo "  sudo apt-get install -y $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || true
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing >/dev/null || {
    echo "apt-get install failed for: $missing" >&2; exit 1; }
}

# Builds the given targets, or everything when none is named.
quorvel_build() {
  local launcher=()
  if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR="$QUORVEL_ROOT"
    # Lets the compiler cache keep files compiled with a precompiled header.
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  if [ ! -f "$QUORVEL_BUILD/build.ninja" ]; then
    cmake -S "$QUORVEL_ROOT" -B "$QUORVEL_BUILD" -G Ninja \
      -DCMAKE_BUILD_TYPE="${QUORVEL_BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" >/dev/null || exit 1
  fi
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$QUORVEL_BUILD" -j "$(nproc)" "${targets[@]}" || exit 1
}

# Starts the CUPS scheduler with the "Quorvel-PDF" queue that the printing
# tests print through; without it those tests skip (or fail under CI=true).
quorvel_start_spooler() {
  "$QUORVEL_ROOT/scripts/start-cups.sh" ||
    echo "The print spooler is not running: the spooler tests will skip (fail under CI=true)." >&2
}
