#!/bin/sh
# Runs every fuzz target of a fuzz build for SECONDS each from its seed corpus, one after the
# other, and prints per target its executions, coverage edges and corpus size. New inputs are
# kept under BUILD_DIR/fuzz-runs/<target>/; a crash, or an input that takes longer than
# INPUT_SECONDS, leaves its input there too, and the run fails.
#   tools/run_fuzzers.sh BUILD_DIR [SECONDS [TARGET...]]   (every target when none is named)
set -eu

build=$(cd "$1" && pwd)
seconds=${2:-60}
shift $(($# < 2 ? $# : 2))
only="$*"
# Far above what any input of the corpus takes under the sanitizers on a busy machine, so that
# only a really slow path trips it.
input_seconds=10
root=$(cd "$(dirname "$0")/.." && pwd)
fuzz="$root/tests/fuzz"

dictionary_of() {
    case "$1" in
    plist_readers) echo plist.dict ;;
    desktop_entry) echo desktop.dict ;;
    defaults_tool) echo defaults.dict ;;
    identification) echo identification.dict ;;
    *) echo "" ;;
    esac
}

status=0
summary=""
for program in "$build"/tests/fuzz/fuzz_*; do
    [ -x "$program" ] || continue
    name=${program##*/fuzz_}
    case " $only " in
    "  " | *" $name "*) ;;
    *) continue ;;
    esac
    runs="$build/fuzz-runs/$name"
    mkdir -p "$runs/corpus" "$runs/crashes"
    dictionary=$(dictionary_of "$name")
    set -- -max_total_time="$seconds" -timeout="$input_seconds" -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$runs/crashes/"
    [ -n "$dictionary" ] && set -- "$@" -dict="$fuzz/dict/$dictionary"
    echo "== $name: $seconds s"
    if ! "$program" "$@" "$runs/corpus" "$fuzz/corpus/$name" > "$runs/log" 2>&1; then
        echo "$name FAILED: see $runs/log and $runs/crashes/" >&2
        tail -30 "$runs/log" >&2
        status=1
    fi
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$runs/log" | tail -1)
    last=$(grep -E '^#[0-9]+' "$runs/log" | tail -1)
    edges=$(echo "$last" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
    corpus=$(echo "$last" | sed -n 's/.* corp: \([0-9]*\)\/.*/\1/p')
    summary="$summary$(printf '%-16s %12s executions %6s edges %6s inputs in the corpus' \
        "$name" "${executions:-?}" "${edges:-?}" "${corpus:-?}")
"
done
printf '\n%s' "$summary"
exit "$status"
