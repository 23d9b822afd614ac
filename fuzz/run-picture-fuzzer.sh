#!/usr/bin/env bash
# Builds and runs the picture readers' fuzzer (BMP, ICO, WMF, EMF) with clang,
# libFuzzer and the address and undefined-behaviour sanitizers.
#
#   fuzz/run-picture-fuzzer.sh [seconds]        default 600
#
# Shares the build folder of run-fuzzer.sh (QUORVEL_FUZZ_BUILD). The seeds are
# the test pictures in tests/data/picture-regressions; new inputs collect in
# fuzz/picture-corpus-work (not kept in git), faults in <build>/artifacts/.
set -euo pipefail

seconds="${1:-600}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUORVEL_FUZZ_BUILD:-$root/build-fuzz}"

launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$root"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target fuzz_pictures -j "${QUORVEL_FUZZ_JOBS:-1}"

work="$root/fuzz/picture-corpus-work"
mkdir -p "$work" "$build/artifacts"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/fuzz/lsan.supp:print_suppressions=0}"
exec nice -n 19 "$build/fuzz_pictures" "$work" "$root/tests/data/picture-regressions" \
  -max_total_time="$seconds" -max_len=8192 -timeout=10 \
  -rss_limit_mb=2048 -artifact_prefix="$build/artifacts/" -print_final_stats=1
