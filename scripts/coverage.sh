#!/bin/sh
# Line and branch coverage of the rules (src/shop, src/db, src/core) under the
# whole suite on both engines, files and the test server. Builds into
# build-coverage/ so the normal build keeps its objects. Slow: not part of CI.
# Needs gcovr (Debian: apt-get install gcovr).
set -e
cd "$(dirname "$0")/.."
command -v gcovr > /dev/null || { echo "gcovr is missing: apt-get install gcovr" >&2; exit 1; }
cmake -S . -B build-coverage -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="--coverage -fprofile-update=atomic" \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage > /dev/null
cmake --build build-coverage -j"$(nproc)"
find build-coverage -name '*.gcda' -delete
# Every test, the _pg variants against their test server included; a failing
# test still leaves its counts, so the figures are printed either way.
status=0
# Instrumented Debug code runs several times slower: give each test function and
# program the time it needs rather than Qt Test's and CTest's defaults.
(cd build-coverage && QT_QPA_PLATFORM=offscreen QTEST_FUNCTION_TIMEOUT=1800000 \
    ctest -j"$(nproc)" --timeout 3600 --output-on-failure) || status=$?
# Counts read once into a trace file; the figures are printed from it.
gcovr --root . --object-directory build-coverage -j"$(nproc)" \
    --filter 'src/shop/' --filter 'src/db/' --filter 'src/core/' \
    --exclude-unreachable-branches --exclude-throw-branches --gcov-ignore-parse-errors \
    --json build-coverage/coverage.json
gcovr --add-tracefile build-coverage/coverage.json --branches --txt build-coverage/coverage-branches.txt
gcovr --add-tracefile build-coverage/coverage.json --txt build-coverage/coverage-lines.txt --print-summary
echo "Per file: build-coverage/coverage-lines.txt and build-coverage/coverage-branches.txt"
exit $status
