#!/usr/bin/env bash
# The program's terminal modes write what they say to the standard output and error, in order and
# complete when these are pipes (flushed at exit), with their exit status.
# Usage: terminal_modes_test.sh PATH/TO/orlit_cfs
set -uo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'end_date,leave_days,working_days\n31.10.83,65,24.5\n' >"$work/rows.csv"

failures=0
# arguments | status | a line the output must have | a line the error stream must have
while IFS='|' read -r arguments status out_line err_line; do
  # shellcheck disable=SC2086 # the arguments are words
  LC_ALL=C.UTF-8 LANGUAGE= "$program" $arguments >"$work/out" 2>"$work/err" </dev/null
  got=$?
  if [[ $got -ne $status ]] || { [[ -n $out_line ]] && ! grep -qxF -- "$out_line" "$work/out"; } ||
    { [[ -n $err_line ]] && ! grep -qF -- "$err_line" "$work/err"; }; then
    echo "FAIL: $arguments: status $got (wanted $status)"
    echo "-- out:"; cat "$work/out"; echo "-- err:"; cat "$work/err"
    failures=$((failures + 1))
  fi
done <<CASES
--version|0|orlit_cfs 0.1.0|
--calc 31.10.83 65 24.5|0|15.08.83|
--batch $work/rows.csv|0|31.10.83,65,24.5,15.08.83,|
--batch $work/missing.csv|2||missing.csv
--bogus|2||orlit_cfs: unknown option '--bogus'
--help|0|  --version                   show the version|
CASES
exit $((failures > 0))
