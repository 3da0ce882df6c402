#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ (or $PAGEMELD_FUZZ_BUILD) and
# runs each for the given number of seconds (default 30), starting from the seed corpus
# in fuzz/corpus/<name>/. Inputs the fuzzer finds go to the build folder, never into
# the repository; a crash stops the script with the reproducer's path.
#   scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
build_dir="${PAGEMELD_FUZZ_BUILD:-build-fuzz}"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(command_line page_ranges ini engine)
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DPAGEMELD_FUZZ=ON -DPAGEMELD_WERROR=ON >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target "${targets[@]/%/_fuzzer}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
for target in "${targets[@]}"; do
    work="$build_dir/fuzz-work/$target"
    artifacts="$build_dir/fuzz-artifacts/$target/"
    mkdir -p "$work" "$artifacts"
    echo "== Fuzzing $target for ${seconds} s"
    if ! "$build_dir/fuzz/${target}_fuzzer" "$work" "fuzz/corpus/$target" \
        -max_total_time="$seconds" -rss_limit_mb=1024 -timeout=30 -max_len=65536 \
        -artifact_prefix="$artifacts" -print_final_stats=1 >"$build_dir/fuzz-$target.log" 2>&1; then
        tail -n 60 "$build_dir/fuzz-$target.log"
        echo "Fuzz target $target failed; reproducers in $artifacts" >&2
        exit 1
    fi
    grep -E "^stat::number_of_executed_units|^Done" "$build_dir/fuzz-$target.log" || true
done
