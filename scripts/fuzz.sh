#!/usr/bin/env bash
# Builds the fuzz programs with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# in build-fuzz, writes their seed corpora and runs each for SECONDS (default 30), starting
# from the minimised corpus kept in fuzz/corpus/<program>/. Fails when any of them finds a
# crash; the input that caused it is left in build-fuzz/artifacts/<target>/.
#
#   bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
# Every fuzz program of fuzz/ (fuzz_<target>.cpp); fuzz_seeds writes the seed corpora.
targets=()
for source in fuzz/fuzz_*.cpp; do
  name="$(basename "$source" .cpp)"
  [ "$name" = fuzz_seeds ] || targets+=("${name#fuzz_}")
done

# clang 14 brings libFuzzer and the sanitizer runtimes with libclang-rt-14-dev.
packages=(clang libclang-rt-14-dev cmake ninja-build libsquish-dev libstb-dev zlib1g-dev)
bash scripts/install-packages.sh "${packages[@]}"

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DQUOX_BUILD_FUZZERS=ON "${launcher[@]}"
cmake --build build-fuzz -j2

rm -rf build-fuzz/seeds
build-fuzz/fuzz/fuzz_seeds build-fuzz/seeds

failed=()
for target in "${targets[@]}"; do
  corpus="build-fuzz/corpus/$target"
  artifacts="build-fuzz/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  # The minimised corpus kept in the repository, the seeds written above and the saved
  # crash inputs, where the target has them.
  inputs=("$corpus")
  for folder in "fuzz/corpus/fuzz_$target" "build-fuzz/seeds/$target" "fuzz/regressions/$target"; do
    if [ -d "$folder" ]; then
      inputs+=("$folder")
    fi
  done
  echo "== fuzz_$target for ${seconds}s"
  # New inputs go to the first folder only; the kept corpus, seeds and regressions stay as they are.
  if ! "build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "${inputs[@]}" \
      > "build-fuzz/fuzz_$target.log" 2>&1; then
    failed+=("$target")
    tail -n 40 "build-fuzz/fuzz_$target.log"
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "build-fuzz/fuzz_$target.log" || true
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzzing found crashes in: ${failed[*]} (inputs in build-fuzz/artifacts/)" >&2
  exit 1
fi
echo "fuzzing found nothing"
