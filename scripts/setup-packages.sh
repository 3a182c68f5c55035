# Installs the Debian packages the build, the tests and the demo need, only when some are missing.
# Sourced by scripts/test and scripts/demo; runs apt-get as root, or through sudo otherwise.
ORVEL_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libbenchmark-dev
  # the fuzz targets in fuzz/: clang with its libFuzzer and sanitizer runtimes
  clang libclang-rt-14-dev
  clang-format-14  # scripts/check-format: the house layout of the C++ sources
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
  libssl-dev  # SHA-256 of orvel-analyze's provenance (libcrypto), linked into the command-line tools only
  libtiff-dev libpng-dev  # TIFF files other than the scanner's, and PNG files: the formats' own libraries
  librsvg2-bin  # renders the icon's PNG sizes at build time
  # the install tree's checks: desktop entry, metainfo, manual pages
  desktop-file-utils appstream man-db
  parallel  # scripts/analyze-datasets
  # test and benchmark oracles only: never linked into the product
  libjpeg-turbo-progs libturbojpeg0-dev
  python3 python3-numpy python3-pil python3-scipy python3-opencv
  python3-tifffile  # writes the TIFF layouts the foreign-file tests read
  python3-skimage  # marching cubes, for the mesh surface of orvel-analyze
  strace  # holds up chosen file openings so that a test run lasts long enough to show progress
  # the real-window tests: a virtual display, a D-Bus session with the accessibility bus, and
  # the screen reader's side of AT-SPI
  xvfb xauth dbus at-spi2-core python3-pyatspi
  # a window manager and the X utilities that read its frame, for the first window's placement
  openbox x11-utils
  # scripts/screenshots
  imagemagick
)

orvel_install_packages() {
  local missing=()
  for package in "${ORVEL_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local apt=(apt-get -o DPkg::Lock::Timeout=600)  # wait for the dpkg lock of another apt run
  [ "$(id -u)" -eq 0 ] || apt=(sudo "${apt[@]}")
  orvel_update_package_lists "${apt[@]}"
  DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
}

# "apt-get update" takes the lock of the package lists without waiting, whatever the timeout
# says: on a fresh machine its own start-up run of apt may hold it. Tries again for up to ten
# minutes while the lock is what stops it.
orvel_update_package_lists() {
  local deadline=$((SECONDS + 600)) errors
  errors=$(mktemp)
  until LC_ALL=C "$@" update -qq 2> "$errors"; do
    if ! grep -q "Could not get lock" "$errors" || [ "$SECONDS" -ge "$deadline" ]; then
      cat "$errors" >&2
      rm -f "$errors"
      return 100
    fi
    echo "Waiting for another apt run to finish with the package lists"
    sleep 5
  done
  cat "$errors" >&2
  rm -f "$errors"
}
