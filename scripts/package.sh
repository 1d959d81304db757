#!/bin/sh
# Builds the program alone in the build directory given (default build/,
# configured when new) and makes brovanta_<version>_amd64.deb there with CPack;
# lintian checks it where lintian is installed. The package's path is the last line.
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" -j"$(nproc)" --target brovanta-app
cd "$build"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' CMakeCache.txt)
package="$PWD/brovanta_${version}_amd64.deb"
rm -f "$package"
cpack -G DEB > cpack.log 2>&1 || { cat cpack.log; exit 1; }
[ -f "$package" ] || { cat cpack.log; echo "CPack made no $package" >&2; exit 1; }
if command -v lintian > /dev/null; then
    lintian --fail-on error "$package"
else
    echo "lintian is not installed: the package is not checked"
fi
echo "$package"
