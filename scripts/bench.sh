#!/usr/bin/env bash
# Benchmark of a full aggregation-mode export of a large company.
#
#   scripts/bench.sh [--entries N] [--regenerate] [--build DIR]
#
# Builds the deliverables and the aggregation benchmark in a Release build
# (default build-bench), makes two suite homes with scripts/gen-large-store.sh
# (a corporation and an individual, N journal entries each, default
# 1,000,000; kept between runs unless --regenerate, or the count, the schema
# or the generator changed), and
# for each of them, in the same run:
#   - one bare scan of the journal table with the sqlite3 shell;
#   - the aggregation passes alone (zk_bench_aggregation: time per pass);
#   - a full export with the headless script backend: the conditions dialog
#     gets the output path, 実行 (F12) accepts it, the messages are answered.
# It prints wall time and peak resident memory of each, and the ratio of the
# export to the bare scan, against the targets: export under 5 s, peak memory
# under 100 MB, ratio at most 6. A benchmark, not a test: it fails only when
# something does not run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

entries=1000000 regenerate=0 build="$top/build-bench"
while [ $# -gt 0 ]; do
  case "$1" in
    --entries) entries=$2; shift 2 ;;
    --regenerate) regenerate=1; shift ;;
    --build) build=$2; shift 2 ;;
    *) sed -n '2,20p' "$0" >&2; exit 2 ;;
  esac
done

echo "== building (Release) in $build"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target Zelkora zk_bench_aggregation -j "$(nproc 2>/dev/null || echo 4)" >/dev/null

# Runs a command and prints "<wall seconds> <peak kB>" on fd 3; the command's
# own output goes to the file named first.
measure() {
  local out=$1; shift
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f '%e %M' -o "$out.time" "$@" >"$out" 2>&1 || echo "(exit status $?)" >>"$out"
    tail -n 1 "$out.time" >&3
  else
    # Without GNU time: wall time from the shell, peak memory from /proc.
    local t0 t1 pid peak=0 hwm
    t0=$(date +%s.%N)
    "$@" >"$out" 2>&1 &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
      hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
      [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
      sleep 0.02
    done
    wait "$pid" || echo "(exit status $?)" >>"$out"
    t1=$(date +%s.%N)
    echo "$(echo "$t1 - $t0" | bc) $peak" >&3
  fi
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f", a / b; else print "-" }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v + 0 <= t + 0) ? "met" : "MISSED" }'; }

summary=()
for kind in corp indiv; do
  home="$build/bench-$kind"
  db="$home/suite.db"
  # A kept store is reused only when it was made for this count by this
  # schema and generator (a store of an older schema lacks its indexes).
  stamp="$entries $(cat "$top/platform/suite/schema.sql" "$top/scripts/gen-large-store.sh" | cksum)"
  if [ "$regenerate" = 1 ] || [ ! -f "$db" ] || [ "$(cat "$home/.bench-stamp" 2>/dev/null)" != "$stamp" ]; then
    echo "== generating $kind store with $entries entries"
    bash "$top/scripts/gen-large-store.sh" --force --entries "$entries" "$kind" "$home" >/dev/null
    echo "$stamp" >"$home/.bench-stamp"
  fi
  data=$(sqlite3 "$db" "SELECT data_no FROM selection")
  mkdir -p "$home/drive_c/Zelkor/Output"
  rm -f "$home/drive_c/Zelkor/Output/bench.xml"
  log="$home/bench-log"
  mkdir -p "$log"

  echo "== $kind: bare scan of the journal table (sqlite3)"
  exec 3>"$log/scan.m"
  measure "$log/scan.out" sqlite3 "$db" \
    "SELECT count(*), sum(entry_date), sum(month_kind), sum(dr_account), sum(dr_dept), sum(dr_amount), sum(dr_tax),
            sum(dr_tax_code), sum(dr_rate), sum(dr_reduced), sum(dr_business), sum(dr_invoice), sum(cr_account),
            sum(cr_dept), sum(cr_amount), sum(cr_tax), sum(cr_tax_code), sum(cr_rate), sum(cr_reduced),
            sum(cr_business), sum(cr_invoice)
     FROM journal WHERE data_no = $data ORDER BY 1"
  exec 3>&-
  read -r scan_s scan_kb <"$log/scan.m"
  echo "   $scan_s s, peak $(mb "$scan_kb") MB"

  echo "== $kind: aggregation passes (zk_bench_aggregation)"
  exec 3>"$log/passes.m"
  (cd "$home" && measure "$log/passes.out" env ZELKOR_HOME="$home" ZELKOR_BACKEND=script ZELKOR_SCRIPT= \
     ZELKOR_TRANSCRIPT=/dev/null "$build/tests/zk_bench_aggregation")
  exec 3>&-
  read -r pass_s pass_kb <"$log/passes.m"
  sed 's/^/   /' "$log/passes.out"
  echo "   process: $pass_s s, peak $(mb "$pass_kb") MB"

  echo "== $kind: full export (Zelkora, script backend)"
  printf '%s\n' 'type 1008 C:\Zelkor\Output\bench.xml' 'key F12' 'answer OK' 'answer OK' 'answer OK' >"$log/run.script"
  exec 3>"$log/export.m"
  (cd "$home" && measure "$log/export.out" env ZELKOR_HOME="$home" ZELKOR_BACKEND=script \
     ZELKOR_SCRIPT="$log/run.script" ZELKOR_TRANSCRIPT="$log/transcript.txt" "$build/Zelkora")
  exec 3>&-
  read -r export_s export_kb <"$log/export.m"
  out="$home/drive_c/Zelkor/Output/bench.xml"
  if [ -s "$out" ]; then
    echo "   $export_s s, peak $(mb "$export_kb") MB, file $(wc -c <"$out") bytes"
    summary+=("$kind: export $export_s s ($(verdict "$export_s" 5) < 5 s), peak $(mb "$export_kb") MB ($(verdict "$(mb "$export_kb")" 100) < 100 MB), bare scan $scan_s s, ratio $(ratio "$export_s" "$scan_s") ($(verdict "$(ratio "$export_s" "$scan_s")" 6) <= 6)")
  else
    echo "   no export file; the transcript's messages:"
    grep '^message' "$log/transcript.txt" 2>/dev/null | sed 's/^/   /' || true
    summary+=("$kind: export did not write its file (see $log); aggregation passes $pass_s s, peak $(mb "$pass_kb") MB, bare scan $scan_s s, ratio passes/scan $(ratio "$pass_s" "$scan_s")")
  fi
done

echo
echo "== summary ($entries entries per company)"
printf '%s\n' "${summary[@]}"
