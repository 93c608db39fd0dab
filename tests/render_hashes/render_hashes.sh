#!/usr/bin/env bash
# Renders every stock preset at 8, 16 and 32 bits for 60 frames with a fixed seed and frame
# time, and compares the pictures' SHA-256 with the committed list: any change to a picture
# shows up here. `update` rewrites the list instead of checking it.
#   render_hashes.sh RENDER_TOOL DATA_FOLDER HASH_FILE [check|update]
set -u
tool=${1:?render tool}
data=${2:?data folder}
hashes=${3:?hash file}
action=${4:-check}
tool=$(realpath "$tool"); data=$(realpath "$data"); hashes=$(realpath -m "$hashes")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/windows"
cp -r "$data" "$work/windows/Mirravane"
export MIRRAVANE_BACKEND=headless QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work"

out="$work/hashes.txt"
: >"$out"
failed=0
cd "$work/windows/Mirravane" || exit 1
for preset in $(ls *.dat | sort); do
  for bpp in 8 16 32; do
    if ! "$tool" --windows-dir "$work/windows" --preset "$preset" --mode "320x240x$bpp" --seed 7 \
         --frames 60 --frame-seconds 0.02 --out "$work/frame.bmp" >"$work/render.log" 2>&1; then
      echo "render failed: $preset at $bpp bits"
      cat "$work/render.log"
      failed=1
      continue
    fi
    echo "$(sha256sum <"$work/frame.bmp" | cut -c1-64)  $preset@$bpp" >>"$out"
  done
done

if [ "$action" = update ]; then
  cp "$out" "$hashes"
  echo "wrote $(wc -l <"$out") hashes to $hashes"
  exit $failed
fi
if ! diff -u "$hashes" "$out"; then
  echo "pictures differ from the committed hashes (lines above: - committed, + now)"
  exit 1
fi
echo "$(wc -l <"$out") pictures match"
exit $failed
