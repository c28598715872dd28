#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan;
# preset "fuzz", build/fuzz) and runs each in turn, one at a time and at the
# lowest priority, for the given seconds (default 60).
#
#   scripts/fuzz.sh [seconds] [target ...]     all targets, or only those named
#   scripts/fuzz.sh --merge [seconds] [target ...]
#       afterwards add to the committed corpus (fuzz/corpus/<target>/) the
#       inputs of this campaign that reach code the corpus does not
#   scripts/fuzz.sh --minimise [target ...]
#       rebuild the committed corpus from the smallest set of its own and of
#       the campaigns' inputs that covers as much (no fuzzing)
#
# A campaign starts from the committed corpus and keeps what it finds in
# build/fuzz/corpus/<target>/, so the next campaign goes on from there.
# An input that crashes a target or breaks one of its checks is saved as
# build/fuzz/findings/<target>-crash-<hash> (leak-, timeout-, oom- alike);
# the script then exits non-zero. Replay one with
#   build/fuzz/fuzz/<target> <file>
# and, once the fault is mended, copy it into fuzz/corpus/<target>/ so that
# ./test.sh keeps checking it.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=run
case "${1:-}" in
--merge) mode=merge; shift ;;
--minimise) mode=minimise; shift ;;
esac
seconds=60
if [ "$mode" != minimise ] && [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds="$1"
  shift
fi

scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

build=build/fuzz
if [ $# -gt 0 ]; then
  targets=("$@")
else
  mapfile -t targets < <(grep -v '^$' "$build/fuzz/targets.txt")
fi
mkdir -p "$build/findings"

# Inputs larger than this are not tried (the table and spot-colour files
# and the largest replies fit well within it).
max_len=16384
summary=()
failed=0
for target in "${targets[@]}"; do
  binary="$build/fuzz/$target"
  committed="fuzz/corpus/$target"
  work="$build/corpus/$target"
  if [ ! -x "$binary" ]; then
    echo "no such fuzz target: $target" >&2
    failed=1
    continue
  fi
  mkdir -p "$committed" "$work"

  if [ "$mode" = minimise ]; then
    fresh="$build/corpus/$target.minimised"
    rm -rf "$fresh"
    mkdir -p "$fresh"
    "$binary" -merge=1 -max_len=$max_len "$fresh" "$committed" "$work" 2>"$build/$target.merge.log"
    before=$(find "$committed" -type f | wc -l)
    rm -rf "$committed"
    mv "$fresh" "$committed"
    summary+=("$target: corpus $before -> $(find "$committed" -type f | wc -l) inputs")
    continue
  fi

  log="$build/$target.log"
  echo "== $target: ${seconds} s"
  status=0
  nice -n 19 "$binary" -max_total_time="$seconds" -max_len=$max_len -timeout=20 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
    "$work" "$committed" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  if [ "$status" -ne 0 ]; then
    failed=1
    grep -m1 -E '^==[0-9]+==ERROR|^fuzz check failed|runtime error|^SUMMARY' "$log" || true
    summary+=("$target: FINDING after ${runs:-?} executions (see $log)")
  else
    summary+=("$target: ${runs:-?} executions, ${rate:-?}/s, no finding")
  fi
  if [ "$mode" = merge ]; then
    "$binary" -merge=1 -max_len=$max_len "$committed" "$work" >"$build/$target.merge.log" 2>&1
  fi
done

printf '%s\n' "${summary[@]}"
exit $failed
