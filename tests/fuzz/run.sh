#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a fixed number of executions, from its committed seeds, with
# a fixed random seed. Any finding (a crash, a sanitizer report, an abort of a checked property, a timeout
# or running out of memory) fails the run; the input that caused it is kept in BUILD/fuzz-artifacts/.
# Usage: tests/fuzz/run.sh BUILD_DIR [SCALE]   (SCALE multiplies every target's executions; default 1)
set -euo pipefail
build=${1:?usage: run.sh BUILD_DIR [SCALE]}
scale=${2:-1}
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$build" && pwd)"

# target, executions, largest input in bytes. Together about 3.3 million executions in about eleven
# minutes on a two-core machine (one target at a time). The result-file target is the slowest per input (a
# file is up to 50 kB, and one input in sixteen also runs the writer); the command-line target takes
# longest in all (about 2,300 inputs a second, each parsed by CLI11's option table: about eight minutes).
targets=(
    "result_file 40000 65536"
    "attenuation_table 300000 40000"
    "number_text 1000000 512"
    "profile 1000000 4096"
    "command_line 1000000 1024"
)

mkdir -p "$build/fuzz-artifacts"
failed=0
summary=()
for entry in "${targets[@]}"; do
    read -r name runs maxlen <<<"$entry"
    runs=$((runs * scale))
    binary="$build/tests/fuzz/${name}_fuzz"
    corpus="$build/fuzz-corpus/$name"
    log="$build/fuzz-$name.log"
    mkdir -p "$corpus"
    echo "fuzz $name: $runs executions"
    status=0
    "$binary" -runs="$runs" -seed=1 -max_len="$maxlen" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-artifacts/$name-" "$corpus" "$here/$name/seeds" >"$log" 2>&1 || status=$?
    done_line=$(grep -E '^Done [0-9]+ runs' "$log" | tail -1 || true)
    if [ "$status" -ne 0 ]; then
        echo "fuzz $name: FINDING (exit $status); last lines of $log:"
        tail -30 "$log"
        failed=1
        summary+=("$name: FINDING")
    else
        echo "fuzz $name: $done_line, no findings"
        summary+=("$name: $done_line, 0 findings")
    fi
done
printf '%s\n' "${summary[@]}"
exit "$failed"
