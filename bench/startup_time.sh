#!/bin/sh
# Seconds from starting the program until its login window is mapped, measured
# under Xvfb with a window manager, several runs. Needs xvfb-run, openbox, xdotool.
#   bench/startup_time.sh [path/to/brovanta] [runs]
#
# On the bench machine (2 cores, quiet), after the splash stopped being held for
# 1.2 s: 312, 273, 294, 281, 292 ms (at load average 12: 989-1816 ms).
# The first run also creates the fonts' caches; the splash itself now shows
# only while the windows, the data module and the report layouts are made.
program=$(readlink -f "${1:-build/brovanta}")
runs=${2:-5}
export program runs
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    openbox >/dev/null 2>&1 &
    sleep 1
    i=0
    while [ "$i" -lt "$runs" ]; do
        start=$(date +%s%N)
        "$program" >/dev/null 2>&1 &
        pid=$!
        until xdotool search --onlyvisible --name "用户登录" >/dev/null 2>&1; do sleep 0.01; done
        end=$(date +%s%N)
        echo "run $((i + 1)): $(( (end - start) / 1000000 )) ms to the login window"
        kill "$pid"
        wait "$pid" 2>/dev/null
        i=$((i + 1))
    done
'
