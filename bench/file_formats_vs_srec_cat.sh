#!/bin/sh
# Times the four conversions of a 16 MiB image (binary to Intel HEX and
# back, binary to S-records and back) with `ktr4180-cli convert` and with
# srec_cat, and prints each pair with its ratio.
#
#   bench/file_formats_vs_srec_cat.sh [path/to/ktr4180-cli]
#
# The image has no run of 0xFF bytes, so every record is written. Each
# conversion runs three times; the best time counts.
set -e
CLI="${1:-$(dirname "$0")/../build/ktr4180-cli}"
[ -x "$CLI" ] || { echo "no ktr4180-cli at $CLI (give its path)" >&2; exit 2; }
command -v srec_cat >/dev/null || { echo "srec_cat not found (Debian package srecord)" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
SIZE=16777216

# Pseudo-random bytes with 0xFF folded to 0xFE: no erased record anywhere.
head -c $SIZE /dev/urandom | tr '\377' '\376' > "$WORK/image.bin"
# Reference text files for the reading directions, the same for both tools.
"$CLI" convert "$WORK/image.bin" "$WORK/image.hex" 2>/dev/null
# S-records are read from ".eep" files by their first character (".src" opens raw).
"$CLI" convert "$WORK/image.bin" "$WORK/image.src" 2>/dev/null
cp "$WORK/image.src" "$WORK/image.eep"

now() { date +%s.%N; }

# best_of COMMAND...: prints the shortest of three wall-clock times in seconds.
best_of() {
    best=""
    for _ in 1 2 3; do
        rm -f "$WORK"/out.*
        t0=$(now)
        "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
        t1=$(now)
        t=$(echo "$t1 $t0" | awk '{ printf "%.4f", $1 - $2 }')
        best=$(echo "$best $t" | awk '{ if ($1 == "" || NF == 1) print $NF; else print ($2 < $1 ? $2 : $1) }')
    done
    echo "$best"
}

check_same() {
    cmp -s "$1" "$WORK/image.bin" || { echo "mismatch: $1" >&2; exit 1; }
}

printf '%-20s %10s %10s %8s\n' "conversion" "ours s" "srec_cat s" "ratio"
row() {
    printf '%-20s %10s %10s %8s\n' "$1" "$2" "$3" "$(echo "$2 $3" | awk '{ printf "%.1fx", $2 / $1 }')"
}

ours=$(best_of "$CLI" convert "$WORK/image.bin" "$WORK/out.hex")
theirs=$(best_of srec_cat "$WORK/image.bin" -binary -o "$WORK/out.hex" -intel -output_block_size=32)
row "binary -> Intel HEX" "$ours" "$theirs"

ours=$(best_of "$CLI" convert "$WORK/image.hex" "$WORK/out.bin")
"$CLI" convert "$WORK/image.hex" "$WORK/check.bin" 2>/dev/null && check_same "$WORK/check.bin"
theirs=$(best_of srec_cat "$WORK/image.hex" -intel -o "$WORK/out.bin" -binary)
row "Intel HEX -> binary" "$ours" "$theirs"

ours=$(best_of "$CLI" convert "$WORK/image.bin" "$WORK/out.src")
theirs=$(best_of srec_cat "$WORK/image.bin" -binary -o "$WORK/out.src" -motorola -output_block_size=16)
row "binary -> S-records" "$ours" "$theirs"

ours=$(best_of "$CLI" convert "$WORK/image.eep" "$WORK/out.rom")
rm -f "$WORK/check.bin"
"$CLI" convert "$WORK/image.eep" "$WORK/check.bin" 2>/dev/null && check_same "$WORK/check.bin"
theirs=$(best_of srec_cat "$WORK/image.src" -motorola -o "$WORK/out.rom" -binary)
row "S-records -> binary" "$ours" "$theirs"
