#!/bin/sh
# Milliseconds from starting the program until its login window is mapped, under
# Xvfb with a window manager, against a bare Qt program that only shows a dialog
# with the same title (bench/bare_login_dialog). The two run in turns, so both
# meet the same load; one untimed run of each first makes the fonts' caches and
# the database. Prints the medians in the benches' one-line form.
# Needs xvfb-run, openbox, xdotool.
#   bench/startup_time.sh [path/to/brovanta] [runs]
program=$(readlink -f "${1:-build/brovanta}")
bare=$(readlink -f "$(dirname "$program")/bench/bare_login_dialog")
runs=${2:-5}
export program bare runs
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    # Prints the milliseconds until a window titled 用户登录 is on the screen.
    timed() {
        start=$(date +%s%N)
        "$1" >/dev/null 2>&1 &
        pid=$!
        until xdotool search --onlyvisible --name "用户登录" >/dev/null 2>&1; do sleep 0.01; done
        end=$(date +%s%N)
        kill "$pid"
        wait "$pid" 2>/dev/null
        echo $(( (end - start) / 1000000 ))
    }
    median() { sort -n | awk "{ v[NR] = \$1 } END { print v[int(NR / 2) + 1] }"; }
    openbox >/dev/null 2>&1 &
    sleep 1
    timed "$bare" >/dev/null
    timed "$program" >/dev/null
    bareTimes="" projectTimes=""
    i=0
    while [ "$i" -lt "$runs" ]; do
        b=$(timed "$bare")
        p=$(timed "$program")
        echo "run $((i + 1)): bare $b ms, project $p ms to the login window"
        bareTimes="$bareTimes $b" projectTimes="$projectTimes $p"
        i=$((i + 1))
    done
    b=$(echo $bareTimes | tr " " "\n" | median)
    p=$(echo $projectTimes | tr " " "\n" | median)
    awk -v b="$b" -v p="$p" "BEGIN {
        r = p / b
        printf \"%-38s bare %9.2f %-2s  project %9.2f %-2s  ratio %5.2f  target %-16s %s\n\",
               \"start to the login window (median)\", b, \"ms\", p, \"ms\", r, \"<=1.50x\", r <= 1.5 ? \"PASS\" : \"OVER\"
    }"
'
