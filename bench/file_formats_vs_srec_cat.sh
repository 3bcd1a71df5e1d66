#!/bin/sh
# Times the four conversions (binary to Intel HEX and back, binary to
# S-records and back) of a 16 MiB and a 64 MiB image with
# `ktr4180-cli convert` and with srec_cat, and prints for each tool the best
# and the median wall-clock time of five runs and its peak memory (the
# largest resident set of the five), then the ratios of the medians and of
# the best times.
#
#   bench/file_formats_vs_srec_cat.sh [path/to/ktr4180-cli] [MiB ...]
#
# The image has no run of 0xFF bytes, so every record is written. Each text
# file that ktr4180-cli reads back must give the image byte for byte.
set -e
CLI="${1:-$(dirname "$0")/../build/ktr4180-cli}"
[ $# -gt 0 ] && shift
SIZES="${*:-16 64}"
[ -x "$CLI" ] || { echo "no ktr4180-cli at $CLI (give its path)" >&2; exit 2; }
command -v srec_cat >/dev/null || { echo "srec_cat not found (Debian package srecord)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time not found (Debian package time)" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
RUNS=5

now() { date +%s.%N; }

# measure COMMAND...: runs it five times; prints the best and the median
# wall-clock time in seconds and the largest peak memory in MB.
measure() {
    : > "$WORK/times"
    : > "$WORK/peaks"
    for _ in $(seq $RUNS); do
        rm -f "$WORK"/out.*
        t0=$(now)
        /usr/bin/time -o "$WORK/rss" -f %M "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
        t1=$(now)
        echo "$t1 $t0" | awk '{ printf "%.4f\n", $1 - $2 }' >> "$WORK/times"
        tail -n 1 "$WORK/rss" >> "$WORK/peaks"
    done
    best=$(sort -n "$WORK/times" | head -n 1)
    median=$(sort -n "$WORK/times" | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }')
    peak=$(sort -n "$WORK/peaks" | tail -n 1 | awk '{ printf "%.0f", $1 / 1024 }')
    echo "$best $median $peak"
}

check_same() {
    cmp -s "$1" "$WORK/image.bin" || { echo "mismatch: $1" >&2; exit 1; }
}

printf '%-20s %4s | %8s %8s %6s | %8s %8s %6s | %7s %7s\n' "conversion" "MiB" \
    "ours" "median" "MB" "srec_cat" "median" "MB" "x med" "x best"
row() {
    # name size, then best median peak of ours, then of srec_cat
    printf '%-20s %4s | %8s %8s %6s | %8s %8s %6s | %7s %7s\n' "$1" "$2" "$3" "$4" "$5" "$6" "$7" "$8" \
        "$(echo "$4 $7" | awk '{ printf "%.1fx", $2 / $1 }')" "$(echo "$3 $6" | awk '{ printf "%.1fx", $2 / $1 }')"
}

for MIB in $SIZES; do
    rm -f "$WORK"/image.* "$WORK"/check.bin
    # Pseudo-random bytes with 0xFF folded to 0xFE: no erased record anywhere.
    head -c $((MIB * 1048576)) /dev/urandom | tr '\377' '\376' > "$WORK/image.bin"
    # Reference text files for the reading directions, the same for both tools.
    "$CLI" convert "$WORK/image.bin" "$WORK/image.hex" 2>/dev/null
    # S-records are read from ".eep" files by their first character (".src" opens raw).
    "$CLI" convert "$WORK/image.bin" "$WORK/image.src" 2>/dev/null
    cp "$WORK/image.src" "$WORK/image.eep"

    ours=$(measure "$CLI" convert "$WORK/image.bin" "$WORK/out.hex")
    theirs=$(measure srec_cat "$WORK/image.bin" -binary -o "$WORK/out.hex" -intel -output_block_size=32)
    row "binary -> Intel HEX" "$MIB" $ours $theirs

    ours=$(measure "$CLI" convert "$WORK/image.hex" "$WORK/out.bin")
    "$CLI" convert "$WORK/image.hex" "$WORK/check.bin" 2>/dev/null && check_same "$WORK/check.bin"
    theirs=$(measure srec_cat "$WORK/image.hex" -intel -o "$WORK/out.bin" -binary)
    row "Intel HEX -> binary" "$MIB" $ours $theirs

    ours=$(measure "$CLI" convert "$WORK/image.bin" "$WORK/out.src")
    theirs=$(measure srec_cat "$WORK/image.bin" -binary -o "$WORK/out.src" -motorola -output_block_size=16)
    row "binary -> S-records" "$MIB" $ours $theirs

    ours=$(measure "$CLI" convert "$WORK/image.eep" "$WORK/out.rom")
    rm -f "$WORK/check.bin"
    "$CLI" convert "$WORK/image.eep" "$WORK/check.bin" 2>/dev/null && check_same "$WORK/check.bin"
    theirs=$(measure srec_cat "$WORK/image.src" -motorola -o "$WORK/out.rom" -binary)
    row "S-records -> binary" "$MIB" $ours $theirs
done
