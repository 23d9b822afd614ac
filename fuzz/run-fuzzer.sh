#!/usr/bin/env bash
# Builds one of the fuzzers with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in a build folder of its own and runs it.
#
#   fuzz/run-fuzzer.sh [reader|print] [seconds]     default: reader, 600
#
# reader: card bytes into the card reader and the --dump text converter.
# print:  card bytes read, rendered at zoom 1.0 and 1.6 and printed to a PDF
#         sheet, each input within 2 s and 512 MB. It goes on past timeouts,
#         memory faults and crashes (fork mode), so a long run collects them
#         all; look in the artifacts folder afterwards.
#
# Run it below the others' builds: nice -n 19 fuzz/run-fuzzer.sh print 1800
# On a machine busy enough to starve it, a slow input is only the machine:
# QUORVEL_FUZZ_TIMEOUT=10 raises the print fuzzer's time limit (2 s); rerun
# what it reports alone to see whether the input itself takes over 2 s.
#
# QUORVEL_FUZZ_BUILD chooses the build folder (default build-fuzz beside the
# sources). New interesting inputs collect in fuzz/corpus-work (not kept in
# git); faults are written to <build>/artifacts/. Copy each faulting input to
# tests/data/fuzz-regressions/ once it is fixed.
set -euo pipefail

harness=reader
case "${1:-}" in
  reader|print) harness="$1"; shift ;;
esac
seconds="${1:-600}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUORVEL_FUZZ_BUILD:-$root/build-fuzz}"

missing=()
command -v clang++ >/dev/null 2>&1 || missing+=(clang)
dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed" || missing+=(libclang-rt-14-dev)
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "The fuzzer needs: sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || true
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$root"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target "fuzz_$harness" -j "${QUORVEL_FUZZ_JOBS:-1}"

work="$root/fuzz/corpus-work"
[ "$harness" = print ] && work="$root/fuzz/corpus-work-print"
mkdir -p "$work" "$build/artifacts"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/fuzz/lsan.supp:print_suppressions=0}"
common=("$root/fuzz/corpus" "$root/tests/data/fuzz-regressions" "$root/tests/data/cards"
  -dict="$root/fuzz/reader.dict" -max_total_time="$seconds" -max_len=4096
  -artifact_prefix="$build/artifacts/" -print_final_stats=1)
if [ "$harness" = reader ]; then
  exec "$build/fuzz_reader" "$work" "${common[@]}" -timeout=10 -rss_limit_mb=2048
fi
exec "$build/fuzz_print" "$work" "${common[@]}" -timeout="${QUORVEL_FUZZ_TIMEOUT:-2}" \
  -rss_limit_mb=512 -malloc_limit_mb=512 \
  -fork=1 -ignore_timeouts=1 -ignore_ooms=1 -ignore_crashes=1
