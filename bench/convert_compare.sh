#!/usr/bin/env bash
# Whole-process comparison of object file conversion: our dravonconv against GNU objcopy, in one
# run, on a 4 MiB image held as Intel HEX (~11.5 MB) and as S37 records. Prints the median time
# of each command and the ratio ours/objcopy.
#   bench/convert_compare.sh [build folder]      (needs hyperfine, objcopy, python3)
set -euo pipefail
build=${1:-build/default}
conv=$(realpath "$build/tools/dravonconv")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

head -c 4194304 /dev/urandom > image.bin
objcopy -I binary -O ihex image.bin image.hex
objcopy -I binary -O srec --srec-forceS3 image.bin image.s37
echo "input: image.hex $(stat -c %s image.hex) bytes, image.s37 $(stat -c %s image.s37) bytes"

compare() {  # name, ours, theirs
  hyperfine --style none --warmup 2 --runs 15 --export-json "$1.json" "$2" "$3" > /dev/null
  python3 - "$1" <<'PY'
import json, sys
name = sys.argv[1]
r = json.load(open(name + ".json"))["results"]
ours, theirs = r[0]["median"], r[1]["median"]
print(f"{name:28s} ours {ours*1e3:8.1f} ms   objcopy {theirs*1e3:8.1f} ms   ratio {ours/theirs:5.2f}")
PY
}

compare "read HEX -> BIN" "$conv image.hex ours.bin" "objcopy -I ihex -O binary image.hex theirs.bin"
cmp ours.bin image.bin && cmp theirs.bin image.bin
compare "read S37 -> BIN" "$conv image.s37 ours.bin" "objcopy -I srec -O binary image.s37 theirs.bin"
cmp ours.bin image.bin
compare "write BIN -> HEX" "$conv image.bin ours.hex" "objcopy -I binary -O ihex image.bin theirs.hex"
compare "write BIN -> S-record" "$conv image.bin ours.srec" "objcopy -I binary -O srec image.bin theirs.srec"
# What we wrote reads back to the same image.
"$conv" ours.hex back.bin && cmp back.bin image.bin
"$conv" ours.srec back.bin && cmp back.bin image.bin
echo "all outputs checked"
