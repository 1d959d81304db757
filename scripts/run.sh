#!/bin/sh
# Sets up a fresh machine, builds and starts the program.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh brovanta-app
exec build/brovanta
