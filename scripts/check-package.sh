#!/bin/sh
# Proves the Debian package holds what the program needs: makes it from the
# build directory given (default build/), lists it, unpacks it into a temporary
# root and starts the unpacked program offscreen with a temporary home until it
# has made its database in that home's data directory. Lintian's verdict comes
# from scripts/package.sh where lintian is installed.
# Exits 77 (skipped) where the Debian packaging tools are missing.
set -eu
cd "$(dirname "$0")/.."
fail() { echo "FAIL: $*" >&2; exit 1; }
build=$(cd "${1:-build}" && pwd)

# The guide's pictures show the windows as they are.
scripts/check-guide-pictures.sh > /dev/null || exit 1
for tool in dpkg-deb dpkg-shlibdeps file cpack; do
    command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
program=""
cleanup() {
    if [ -n "$program" ]; then
        kill "$program" 2> /dev/null || true
        wait "$program" 2> /dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Package from the existing build: only the program is (re)built, never the tests.
scripts/package.sh "$build" > "$work/package.log" 2>&1 || { cat "$work/package.log"; fail "packaging failed"; }
package=$(tail -n 1 "$work/package.log")
echo "package: $package"
grep -E '^[EWIP]: ' "$work/package.log" || true

dpkg-deb -c "$package" > "$work/contents"
for path in ./usr/bin/brovanta ./usr/share/applications/brovanta.desktop \
            ./usr/share/metainfo/brovanta.metainfo.xml \
            ./usr/share/icons/hicolor/48x48/apps/brovanta.png ./usr/share/icons/hicolor/256x256/apps/brovanta.png \
            ./usr/share/icons/hicolor/scalable/apps/brovanta.svg ./usr/share/doc/brovanta/copyright; do
    grep -q " $path\$" "$work/contents" || fail "$path is not in the package"
done
depends=$(dpkg-deb -f "$package" Depends)
for need in libqt6widgets6 libqt6charts6 libpq5 libqt6keychain1 libzint libsqlcipher0 libxlsxwriter libminizip fonts-noto-cjk qt6-translations-l10n; do
    echo "$depends" | grep -q "$need" || fail "Depends lacks $need: $depends"
done

root="$work/root"
dpkg-deb -x "$package" "$root"
home="$work/home"
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
# The installed program must not find its own directory writable: as root it
# runs as nobody, otherwise its directory is made read-only.
run_as=""
if [ "$(id -u)" -eq 0 ]; then
    chmod 755 "$work"
    chown -R nobody "$home" "$work/run"
    run_as="setpriv --reuid=nobody --regid=nogroup --clear-groups"
else
    chmod -R a-w "$root/usr/bin"
fi
database="$home/.local/share/brovanta/brovanta/data/brovanta.mdb"
env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen \
    $run_as "$root/usr/bin/brovanta" > "$work/program.log" 2>&1 &
program=$!
waited=0
until [ -s "$database" ]; do
    kill -0 "$program" 2> /dev/null || { cat "$work/program.log"; fail "the installed program ended early"; }
    [ "$waited" -ge 60 ] && { cat "$work/program.log"; fail "no database in the home's data directory after 30 s"; }
    sleep 0.5
    waited=$((waited + 1))
done
[ -e "$root/usr/bin/data" ] && fail "the installed program kept its data beside itself"
echo "database made at ${database#"$work"/}"

echo "PASS"
