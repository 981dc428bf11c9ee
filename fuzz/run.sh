#!/usr/bin/env bash
# Builds the fuzz targets (the "fuzz" preset: clang, libFuzzer, address and undefined-behaviour
# sanitizers) and fuzzes each one for a bounded time, starting from a scratch copy of its seed
# corpus in fuzz/corpus/, which stays as committed. Any crash, sanitizer report or failed check
# fails the run and leaves the input that caused it in build-fuzz/findings/.
#
#   bash fuzz/run.sh [SECONDS]    seconds per target: the argument, else $VADAZAZ_FUZZ_SECONDS,
#                                 else 30
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-${VADAZAZ_FUZZ_SECONDS:-30}}
[[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "fuzz/run.sh: seconds must be a whole number" >&2; exit 2; }
targets=(ept_fuzz problem_file_fuzz net_fuzz xdsl_fuzz xmlbif_fuzz bif_fuzz dne_fuzz)

bash scripts/setup.sh
cmake --preset fuzz
cmake --build --preset fuzz

findings=build-fuzz/findings
mkdir -p "$findings"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for target in "${targets[@]}"; do
    rm -rf "${findings:?}/$target"
    mkdir -p "$work/$target" "$findings/$target"
    cp fuzz/corpus/"$target"/* "$work/$target/"
    echo "Fuzzing $target for $seconds s"
    # -timeout: one input taking longer is a finding (a hang); -rss_limit_mb: so is a memory blow-up.
    if ! build-fuzz/fuzz/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/$target/" "$work/$target" \
        >"$work/$target.log" 2>&1; then
        tail -n 60 "$work/$target.log" >&2
        echo "fuzz/run.sh: $target failed; the input is in $findings/$target/" >&2
        failed+=("$target")
    else
        grep -E '^stat::number_of_executed_units|^Done' "$work/$target.log" || true
    fi
done
((${#failed[@]} == 0)) || { echo "fuzz/run.sh: findings in ${failed[*]}" >&2; exit 1; }
echo "fuzz/run.sh: no findings"
