#!/usr/bin/env bash
# One case of the tapwise-sim checks: runs the program and compares its standard output,
# standard error and exit status with what the case expects.
#   tapwise-sim_test.sh PROGRAM CASE
set -uo pipefail
sim=$1
case_name=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAILED ($case_name): $*" >&2
  echo "--- stdout" >&2; cat "$work/out" >&2
  echo "--- stderr" >&2; cat "$work/err" >&2
  exit 1
}
run() {
  "$sim" "$@" >"$work/out" 2>"$work/err"
  status=$?
}
expect_status() { [[ $status == "$1" ]] || fail "exit status $status, expected $1"; }
expect_last() { [[ $(tail -n 1 "$work/out") == "$1" ]] || fail "last line is not \"$1\""; }
expect_line() { grep -qxF -- "$1" "$work/out" || fail "no line \"$1\""; }
expect_no_stderr() { [[ ! -s $work/err ]] || fail "unexpected standard error"; }
expect_stderr() {
  [[ $(wc -l <"$work/err") == 1 ]] || fail "standard error is not one line"
  grep -qxF -- "$1" "$work/err" || fail "standard error is not \"$1\""
}

case $case_name in
  help)
    run --help
    expect_status 0
    expect_no_stderr
    grep -q -- "--max-ticks N" "$work/out" || fail "help does not explain --max-ticks"
    grep -q -- "status: green after N" "$work/out" || fail "help does not explain the status"
    ;;
  green)
    run
    expect_status 0
    expect_no_stderr
    [[ $(head -n 3 "$work/out") == $'Output Flow is  0.000 litres/sec\nOutput Temp is UNKNOWN\nrule activated: cold_low: 1' ]] ||
      fail "the run does not begin with the zero step and cold_low"
    expect_line "Output Flow is 11.039 litres/sec"
    expect_last "status: green after 10 ticks"
    grep -q '^\[message\]' "$work/out" && fail "a message in a green run"
    ;;
  red)
    run --set '*coldTemp*=5' --set '*hotTemp*=34' --set '*hotPress*=42'
    expect_status 0
    expect_no_stderr
    expect_line "[message] *** Hot Water Problem -- Hot valve fully open and unable to open more ***"
    expect_line "[message] Stopping simulation"
    expect_last "status: red after 9 ticks"
    ;;
  running)
    run --max-ticks 3
    expect_status 0
    expect_last "status: running after 3 ticks"
    [[ $(grep -c '^Output Flow' "$work/out") == 4 ]] || fail "not the zero step and three ticks"
    ;;
  zero-ticks)
    run --max-ticks 0 --set '*iterationFactor*=0'
    expect_status 0
    expect_line "[message] *** Iteration Factor Problem -- Iteration factor 0 is not positive ***"
    expect_last "status: red after 0 ticks"
    ;;
  error-during-run)
    run --set '*coldTemp*=warm'
    expect_status 1
    expect_last "status: error after 0 ticks"
    expect_stderr 'tapwise-sim: Simulation variable *coldTemp* holds "warm", which is not a finite number'
    ;;
  vars-file)
    # The file replaces the whole list; --set then changes one line of it.
    printf '%s\r\n' '*coldValvePos*=0.0' '*hotValvePos*=0.0' '*coldTemp*=20.0' \
      '*hotTemp*=45.0' '*coldPress*=50.0' '*hotPress*=80.0' '*hotFlow*=0' '*coldFlow*=0' \
      '*optimalTempMin*=34.0' '*optimalTempMax*=38.0' '*optimalFlowMin*=11.0' \
      '*optimalFlowMax*=13.0' '*atmosphericPress*=30.0' '*iterationFactor*=1.0' >"$work/vars.txt"
    run --vars "$work/vars.txt"
    expect_status 0
    expect_last "status: green after 10 ticks"
    grep -v 'iterationFactor' "$work/vars.txt" >"$work/short.txt"
    run --vars "$work/short.txt"
    expect_status 1
    expect_last "status: error after 0 ticks"
    expect_stderr "tapwise-sim: Simulation variable *iterationFactor* is missing"
    run --vars "$work/short.txt" --set '*iterationFactor*=1.0' --max-ticks 2
    expect_status 0
    expect_last "status: running after 2 ticks"
    ;;
  bad-option)
    run --fast
    expect_status 1
    [[ ! -s $work/out ]] || fail "output for bad arguments"
    expect_stderr 'tapwise-sim: unknown option "--fast" (try --help)'
    ;;
  bad-set)
    run --set 'coldTemp=5'
    expect_status 1
    expect_stderr 'tapwise-sim: --set expects NAME=VALUE with the name in asterisks, not "coldTemp=5"'
    ;;
  unknown-variable)
    # A misspelt name is refused before anything runs; letter case does not matter.
    run --set '*hotTmp*=50'
    expect_status 1
    [[ ! -s $work/out ]] || fail "output for an unknown variable"
    expect_stderr 'tapwise-sim: --set names no simulation variable: "*hotTmp*" (the variables are: *coldValvePos*, *hotValvePos*, *coldTemp*, *hotTemp*, *coldPress*, *hotPress*, *hotFlow*, *coldFlow*, *optimalTempMin*, *optimalTempMax*, *optimalFlowMin*, *optimalFlowMax*, *atmosphericPress*, *iterationFactor*)'
    run --set '*ITERATIONFACTOR*=0' --max-ticks 0
    expect_status 0
    expect_line "[message] *** Iteration Factor Problem -- Iteration factor 0 is not positive ***"
    ;;
  bad-ticks)
    run --max-ticks -4
    expect_status 1
    expect_stderr 'tapwise-sim: --max-ticks expects a whole number of at least 0, not "-4"'
    ;;
  missing-value)
    run --vars
    expect_status 1
    expect_stderr "tapwise-sim: option --vars needs a value (try --help)"
    ;;
  unreadable-file)
    run --vars "$work/none.txt"
    expect_status 1
    [[ ! -s $work/out ]] || fail "output for an unreadable file"
    expect_stderr "tapwise-sim: Cannot open file \"$work/none.txt\""
    ;;
  *)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac
exit 0
