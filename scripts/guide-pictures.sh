#!/bin/sh
# Remakes the guide's pictures of the real windows (resources/guide/images/)
# from build/brovanta under Xvfb, with a new database in a temporary copy.
# Needs xvfb, openbox, xdotool and imagemagick; run it when a window changes.
# Beside the pictures it records the commit they were remade from: a change
# nobody can see remakes identical pictures, and the record is what git commits
# to show they were remade (scripts/check-guide-pictures.sh reads it).
set -eu
cd "$(dirname "$0")/.."
for tool in xvfb-run openbox xdotool import; do
    command -v "$tool" > /dev/null || { echo "$tool is not installed" >&2; exit 1; }
done
[ -x build/brovanta ] || scripts/build.sh brovanta-app
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp build/brovanta "$work/"
mkdir -m 700 "$work/run"
images="$PWD/resources/guide/images"
mkdir -p "$images"

cat > "$work/session.sh" << SESSION
#!/bin/sh
openbox > /dev/null 2>&1 &
sleep 1
XDG_RUNTIME_DIR="$work/run" "$work/brovanta" > "$work/program.log" 2>&1 &
sleep 5
xdotool type --delay 50 admin; xdotool key Return; sleep 0.5
xdotool type --delay 50 admin; xdotool key Return; sleep 3
# picture <menu key> <downs> <file>: opens a menu item by keyboard, takes its window, closes it.
picture() {
    xdotool key "\$1"; sleep 0.5
    i=0; while [ \$i -lt \$2 ]; do xdotool key Down; i=\$((i + 1)); done
    xdotool key Return; sleep 3
    import -window "\$(xdotool getactivewindow)" "$images/\$3"
    xdotool key alt+x; sleep 1
}
picture alt+i 0 purchase.png
picture alt+o 0 sale.png
picture alt+i 2 customer-return.png
picture alt+m 0 receipt.png
SESSION
chmod +x "$work/session.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/session.sh"
git rev-parse HEAD > "$images/remade-from"
ls -l "$images"
