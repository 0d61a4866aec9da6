#!/usr/bin/env bash
# Builds the project and runs every test: the normal build, then the tests
# again under the address and undefined-behaviour sanitizers.
#
# The tests keep their temporary files in a folder of this run (in $TMPDIR,
# else /tmp), which is removed at the end; a file a test left there fails the
# run. At the end, the tests each build skipped are listed with the reason
# the test gave (a test that needs root, the X tools, ... skips without it).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 4)
bash "$top/scripts/install-deps.sh" --check

base=${TMPDIR:-/tmp}
run_tmp=$(mktemp -d "${base%/}/zk_test_run.XXXXXX")
trap 'chmod -R u+rwx "$run_tmp" 2>/dev/null; rm -rf "$run_tmp"' EXIT
# Tests run programs as other users, who must reach their folders here.
chmod 0755 "$run_tmp"

# The skipped tests of the last ctest run in build folder $1, from ctest's
# log: "name: reason", the reason being GoogleTest's skip message (the lines
# between "...: Skipped" and "[  SKIPPED ]"), else the test's last line.
list_skipped() {
  local log="$1/Testing/Temporary/LastTest.log"
  [ -f "$log" ] || return 0
  awk '
    /^[0-9]+\/[0-9]+ Test: / {
      name = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", name)
      reason = ""; last = ""; grab = 0; inout = 0; next
    }
    !inout && /^Output:$/ { inout = 1; getline; next }
    inout && /^<end of output>$/ { inout = 0; next }
    inout {
      if (grab && /^\[  SKIPPED \]/) grab = 0
      else if (grab) { line = $0; gsub(/^[ \t]+|[ \t]+$/, "", line); if (line != "") reason = reason (reason == "" ? "" : " ") line }
      if (/: Skipped$/) grab = 1
      if ($0 != "" && !/^\[  SKIPPED \]/ && !/^\[/) last = $0
      next
    }
    /^Skip regular expression found in output/ {
      if (reason == "") reason = (last == "" ? "(no reason given)" : last)
      print "  " name ": " reason
    }
  ' "$log" | sort
}

summary=""
run_tests() {  # build folder, time limit, then environment assignments for ctest
  local dir=$1 limit=$2 status=0 skipped
  shift 2
  env TMPDIR="$run_tmp" "$@" ctest --test-dir "$dir" -j "$jobs" --no-tests=error --output-on-failure --timeout "$limit" || status=$?
  skipped=$(list_skipped "$dir")
  if [ -n "$skipped" ]; then
    summary+="Skipped in ${dir#"$top"/} ($(printf '%s\n' "$skipped" | wc -l)):"$'\n'"$skipped"$'\n'
  else
    summary+="Skipped in ${dir#"$top"/}: none"$'\n'
  fi
  return $status
}

# The summary, and what the tests left behind; the run's status.
finish() {
  local status=$1 left
  echo
  printf '%s' "$summary"
  left=$(cd "$run_tmp" && find . -mindepth 1 -maxdepth 1 | sed 's|^\./|  |')
  if [ -n "$left" ]; then
    echo "The tests left files in their temporary folder ${run_tmp}:"
    echo "$left"
    [ "$status" -ne 0 ] || status=1
  fi
  exit "$status"
}

cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$top/build" -j "$jobs"
run_tests "$top/build" 600 || finish $?

cmake -S "$top" -B "$top/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZK_SANITIZE=ON
cmake --build "$top/build-asan" -j "$jobs"
# The 4,000 exports of the settings-size test run in the normal build; a
# tenth of them shows the same under the sanitizers in a tenth of the time.
run_tests "$top/build-asan" 900 ZK_SETTINGS_EXPORTS=400 \
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 || finish $?
finish 0
