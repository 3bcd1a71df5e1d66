#!/bin/sh
# Ctrl+C on the real program: SIGINT in the middle of a slow simulated read
# ends it with status 130, Finish sent and no output file.
# Usage: cli_interrupt.sh KTR4180-CLI WORKDIR
set -u
cli=$1
work=$2
rm -rf "$work" && mkdir -p "$work"
"$cli" --simulate --sim-latency 5 --chip w25q64jv --trace read --full "$work/out.bin" 2>"$work/err" &
pid=$!
sleep 1
kill -INT "$pid"
wait "$pid"
status=$?
fail=0
[ "$status" -eq 130 ] || { echo "exit status $status, not 130"; fail=1; }
[ ! -e "$work/out.bin" ] || { echo "the stopped read left $work/out.bin"; fail=1; }
grep -q "Stopped by the user." "$work/err" || { echo "no stop message"; fail=1; }
grep '^> 01 ' "$work/err" | tail -n 1 | grep -q '^> 01 0A ' || { echo "the last command sent is not Finish"; fail=1; }
[ "$fail" -eq 0 ] && echo "interrupted read: exit 130, Finish sent, no file"
exit "$fail"
