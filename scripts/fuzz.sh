#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a fixed time, starting from
# the repository's own files as its corpus. A crash, leak, hang or broken
# build fails the script; libFuzzer leaves the input that failed in
# build-fuzz/artifacts/.
#
# Usage: scripts/fuzz.sh [SECONDS [TARGET...]]
#   SECONDS  how long each target runs (default 20)
#   TARGET   the targets to run (default: all)
# The corpus each target grew is kept in build-fuzz/corpus/TARGET, so a
# later, longer run goes on from there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
seconds=${1:-20}
shift || true
build=${VARNOLDE_FUZZ_BUILD:-build-fuzz}
source scripts/use-ccache.sh

# Each target with the files it starts from.
declare -A seeds=(
  [mkstore_storage_fuzz]="mkstore/testdata/metakit/*.mk"
  [text_fuzz]="data/demo/*.txt data/Varnolde.upw"
  [import_fuzz]="data/demo/*.txt data/demo/sales.csv data/DefaultScaler.setup.txt"
  [load_import_fuzz]="data/demo/*.txt"
  [password_file_fuzz]="data/Varnolde.upw setup/password_file_seeds/*"
  [layout_fuzz]="$build/layout-seeds/*"
  [report_pages_fuzz]="data/demo/*.txt"
  [sales_import_fuzz]="data/demo/sales.csv"
)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(mkstore_storage_fuzz text_fuzz import_fuzz load_import_fuzz
                                     password_file_fuzz layout_fuzz report_pages_fuzz sales_import_fuzz)

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVARNOLDE_FUZZ=ON -DVARNOLDE_BUILD_TESTS=OFF -DVARNOLDE_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" layout_seeds
# The built program of that name.
binary_of() { find "$build" -name "$1" -type f -perm -u+x | head -n 1; }
mkdir -p "$build/layout-seeds" "$build/artifacts"
"$(binary_of layout_seeds)" "$build/layout-seeds"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for target in "${targets[@]}"; do
  binary=$(binary_of "$target")
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  # shellcheck disable=SC2086 # the seed patterns are globs
  for seed in ${seeds[$target]}; do
    [ -f "$seed" ] && cp -f "$seed" "$corpus/"
  done
  echo "== $target: $seconds s"
  "$binary" "$corpus" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
    -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 2>"$build/$target.log" ||
    { tail -n 60 "$build/$target.log"; echo "fuzz: $target failed (log: $build/$target.log)"; exit 1; }
  grep -E '^stat::number_of_executed_units' "$build/$target.log" | sed "s/^/   /"
done
echo "fuzz: ${#targets[@]} targets ran $seconds s each, clean"
