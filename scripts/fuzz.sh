#!/usr/bin/env bash
# Builds and runs the settings-file fuzzer:
#   scripts/fuzz.sh [SECONDS (60)] [libFuzzer options, e.g. -len_control=0]
# Exits non-zero when libFuzzer reports a finding.
set -euo pipefail
secs=${1:-60}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

if ! command -v clang++ >/dev/null || ! dpkg -s libclang-rt-14-dev >/dev/null 2>&1; then
    sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    $sudo apt-get install -y clang libclang-rt-14-dev
fi

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

corpus=$build/corpus
artifacts=$build/artifacts
mkdir -p "$corpus" "$artifacts"
# Seeds: a typical settings file, GBK text (printf so the bytes stay GBK),
# and edge cases the reader treats specially.
printf '[config]\r\nATltle=2024 Annual Party\r\niTime=5\r\nIsMusic=1\r\n' >"$corpus/valid.ini"
printf '[config]\r\nATltle=\xc4\xea\xd6\xd5\xb3\xe9\xbd\xb1\r\niTime=0x1F\r\nIsMusic=$0\r\n; \xd7\xa2\xca\xcd\r\n' >"$corpus/gbk.ini"
printf '[Other]\nkey="quoted"\n[CONFIG]\nATLTLE = '"'"'x'"'"'\niTime=-2147483648\n[config]\niTime=9\n' >"$corpus/dups.ini"
printf '[config\nATltle\n=\n\xff\xfe\x81\n' >"$corpus/broken.ini"

cd "$build"
# Each input is written, saved and read back through a scratch file: on a
# memory file system its sync costs nothing and the fuzzer runs twice as fast.
[ -w /dev/shm ] && export TMPDIR=/dev/shm
"$build/fuzz_profile_file" -max_total_time="$secs" -max_len=65536 -timeout=10 \
    -artifact_prefix="$artifacts/" -print_final_stats=1 "$@" "$corpus" 2>&1 | tee "$build/fuzz.log"
rc=${PIPESTATUS[0]}
[ "$rc" -eq 0 ] || { echo "fuzzer finding (exit $rc), inputs in $artifacts"; exit "$rc"; }
echo "no findings in ${secs}s"
