#!/usr/bin/env bash
# The one entry point of the project: setup, build, test, bench, fuzz, format.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$root"

# ccache keys on paths relative to the checkout, so a fresh clone elsewhere on the
# same machine reuses the objects of an earlier build.
export CCACHE_BASEDIR="$root"
export CCACHE_NOHASHDIR=1
export CCACHE_SLOPPINESS=time_macros,include_file_mtime,include_file_ctime

jobs=$(nproc 2>/dev/null || echo 2)

usage() {
    cat <<'USAGE'
usage: ./zep VERB [ARGS]
  setup               install the Debian packages the project needs (quick when present)
  build               build everything with AddressSanitizer and UndefinedBehaviorSanitizer
  test [REGEX]        setup, build, then run every test (or those matching REGEX) through CTest
  bench [NAME]        install the libraries compared with, build Release and run the
                      benchmarks (or bench/NAME.cpp only)
  fuzz NAME SECONDS   build the libFuzzer targets with clang and run fuzz/NAME.cpp
  format              apply .clang-format to every C++ source
USAGE
}

# The package names of a list file: one a line, # comments.
packages() {
    grep -v -E '^\s*(#|$)' "$1" | awk '{print $1}'
}

# Installs whatever the list file names and is missing; quick when everything is there.
install_packages() {
    local missing=()
    local pkg
    for pkg in $(packages "$1"); do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "zep: installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

cmd_setup() {
    install_packages tools/debian-packages.txt
}

configure() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja "$@"
    fi
}

cmd_build() {
    configure build/asan -DCMAKE_BUILD_TYPE=Debug -DZEP_SANITIZE=ON -DZEP_TESTS=ON
    cmake --build build/asan -j "$jobs"
}

cmd_test() {
    cmd_setup
    cmd_build
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    local args=(--test-dir build/asan --output-on-failure -j "$jobs")
    [ $# -gt 0 ] && args+=(-R "$1")
    ctest "${args[@]}"
}

cmd_bench() {
    cmd_setup
    # The libraries the benchmarks compare with, needed by no other verb.
    install_packages tools/bench-packages.txt
    configure build/release -DCMAKE_BUILD_TYPE=Release -DZEP_TESTS=OFF -DZEP_BENCH=ON
    cmake --build build/release -j "$jobs"
    local bin
    for bin in build/release/bench/bench_*; do
        [ -x "$bin" ] || continue
        if [ $# -gt 0 ] && [ "$(basename "$bin")" != "bench_$1" ]; then
            continue
        fi
        echo "== $(basename "$bin")"
        "$bin" --benchmark_counters_tabular=true
    done
}

cmd_fuzz() {
    if [ $# -lt 2 ]; then
        usage
        exit 2
    fi
    local name=$1 seconds=$2
    cmd_setup
    CC=clang CXX=clang++ configure build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEP_TESTS=OFF -DZEP_FUZZ=ON
    cmake --build build/fuzz -j "$jobs" --target "fuzz_$name"
    local work="build/fuzz/corpus-$name"
    mkdir -p "$work"
    FONTCONFIG_FILE="$PWD/platform/panekit/fonts/fonts.conf" "build/fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" "$work" "fuzz/corpus/$name"
}

cmd_format() {
    git ls-files '*.h' '*.cpp' | xargs -r clang-format -i
}

verb=${1:-}
[ $# -gt 0 ] && shift
case "$verb" in
    setup) cmd_setup "$@" ;;
    build) cmd_build "$@" ;;
    test) cmd_test "$@" ;;
    bench) cmd_bench "$@" ;;
    fuzz) cmd_fuzz "$@" ;;
    format) cmd_format "$@" ;;
    *) usage; exit 2 ;;
esac
