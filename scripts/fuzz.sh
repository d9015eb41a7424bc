#!/usr/bin/env bash
# Runs the libFuzzer targets one after another, each for a few minutes at the lowest priority, and
# merges what each found into fuzz/corpus/<target>, minimised (-merge=1), so the corpus only grows in
# coverage. Inputs that crash a target are kept in fuzz/findings/ and reported; the run goes on to the
# next target and the script fails at the end.
#   scripts/fuzz.sh [--minutes N] [--runs N] [TARGET...]   (default: 5 minutes, every fuzz/fuzz_*.cpp)
# --runs stops each target after that many inputs; without --minutes it then has no time limit.
# A target's own libFuzzer flags (a larger -max_len) are in fuzz/<target>.options, one per line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

minutes=
runs_wanted=
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes)
      minutes=${2:?--minutes needs a number}
      shift 2
      ;;
    --minutes=*)
      minutes=${1#--minutes=}
      shift
      ;;
    --runs)
      runs_wanted=${2:?--runs needs a number}
      shift 2
      ;;
    --runs=*)
      runs_wanted=${1#--runs=}
      shift
      ;;
    -h | --help)
      sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'
      exit 0
      ;;
    *)
      targets+=("$1")
      shift
      ;;
  esac
done
if [ -z "$minutes" ] && [ -z "$runs_wanted" ]; then minutes=5; fi
case "${minutes:-0}${runs_wanted:-0}" in
  *[!0-9]*) echo "fuzz.sh: --minutes and --runs take whole numbers" >&2; exit 2 ;;
esac
limits=(-max_total_time=$((${minutes:-0} * 60)))
[ -n "$runs_wanted" ] && limits+=("-runs=$runs_wanted")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

[ -f build/fuzz/build.ninja ] || cmake --preset fuzz >/dev/null
nice -n 19 cmake --build build/fuzz --target "${targets[@]}"

failed=0
for target in "${targets[@]}"; do
  binary=build/fuzz/fuzz/$target
  corpus=fuzz/corpus/$target
  mkdir -p "$corpus" fuzz/findings
  flags=()
  if [ -f "fuzz/$target.options" ]; then
    while IFS= read -r flag; do
      [ -n "$flag" ] && flags+=("$flag")
    done <"fuzz/$target.options"
  fi
  [ -f "fuzz/$target.dict" ] && flags+=("-dict=fuzz/$target.dict")
  found=$(mktemp -d)
  log=$(mktemp)
  # New inputs go to the first folder; the committed corpus is read, not written.
  status=0
  started=$SECONDS
  nice -n 19 "$binary" "${flags[@]}" "${limits[@]}" -print_final_stats=1 \
    -artifact_prefix="fuzz/findings/$target-" "$found" "$corpus" 2>"$log" || status=$?
  elapsed=$(((SECONDS - started) / 60))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  progress=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$progress")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$progress")
  # Minimise: the smallest set of inputs, old and new, that covers all they cover together.
  merged=$(mktemp -d)
  nice -n 19 "$binary" "${flags[@]}" -merge=1 "$merged" "$corpus" "$found" >/dev/null 2>&1
  rm -rf "$corpus" && mkdir -p "$corpus" && cp "$merged"/* "$corpus"/ 2>/dev/null || true
  files=$(find "$corpus" -type f | wc -l)
  if [ "$status" -ne 0 ]; then
    failed=1
    echo "$target: FINDING after ${runs:-?} runs (exit $status); see fuzz/findings/ and the log below"
    tail -30 "$log"
  else
    echo "$target: ${runs:-?} runs in $elapsed min, cov ${cov:-?}, ft ${ft:-?}, corpus $files inputs, no finding"
  fi
  rm -rf "$found" "$merged" "$log"
done
exit "$failed"
