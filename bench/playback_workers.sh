#!/bin/sh
# Playback at "Fast" of 100 JPEG slices of 4096 x 4096 in the real window under Xvfb, with one and
# with two decoding workers: the slices shown per second, counted over AT-SPI by soak_viewer.py.
# The viewer starts one worker per processor it may use, so orvel runs under an affinity mask of
# one processor, then of two; with one, the window's own thread shares that processor too.
# usage: bench/playback_workers.sh BIN_DIR [SECONDS]     (SECONDS of playback each, default 60)
set -eu
bin=$(cd "$1" && pwd)
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/orvel-phantom" "$work/stack" --slices 100 --size 4096x4096 --format jpg >/dev/null
for cpus in 0 0,1; do
  mkdir -p "$work/bin-$cpus"
  printf '#!/bin/sh\nexec taskset -c %s "%s/orvel" "$@"\n' "$cpus" "$bin" >"$work/bin-$cpus/orvel"
  chmod +x "$work/bin-$cpus/orvel"
  echo "affinity mask: processors $cpus"
  /usr/bin/python3 "$here/soak_viewer.py" "$work/bin-$cpus" --dataset "$work/stack/phantom0000.jpg" \
    --minutes "$(awk "BEGIN { print $seconds / 60 }")" | grep -E 'slices shown|processor seconds' || true
done
