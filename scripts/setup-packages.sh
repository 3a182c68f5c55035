# Installs the Debian packages the build, the tests and the demo need, only when some are missing.
# Sourced by scripts/test and scripts/demo; runs apt-get as root, or through sudo otherwise.
ORVEL_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libbenchmark-dev
  # the fuzz targets in fuzz/: clang with its libFuzzer and sanitizer runtimes
  clang libclang-rt-14-dev
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
  # test and benchmark oracles only: never linked into the product
  libjpeg-turbo-progs libturbojpeg0-dev
  python3 python3-numpy python3-pil python3-scipy python3-opencv
)

orvel_install_packages() {
  local missing=()
  for package in "${ORVEL_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
