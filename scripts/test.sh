#!/bin/sh
# Sets up a fresh machine, builds and runs every test offscreen.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
