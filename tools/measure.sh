#!/bin/bash
# Start-up time, resident memory and idle CPU of the game, measured from the
# outside with public tools on a private X server.
#
#   tools/measure.sh <build dir> [runs] [idle seconds]
#
# MEASURE_DISPLAY picks the X display number (default 99), MEASURE_SHOT a
# file for a picture of the idle window.
#
# Needs Xvfb, xdotool and /usr/bin/time (Debian: xvfb xdotool time). Every
# process it starts is stopped again by its own PID. The program writes its
# logs and settings beside the executable, as it does in a build folder.
set -u

BUILD=${1:?usage: tools/measure.sh <build dir> [runs] [idle seconds]}
RUNS=${2:-5}
IDLE=${3:-30}
BIN="$BUILD/bin/turrion"
[ -x "$BIN" ] || { echo "no executable at $BIN" >&2; exit 1; }
OUT=$(mktemp -d)
DISPLAY_NO=:${MEASURE_DISPLAY:-99}

XVFB_PID=
GAME_PID=
TIME_PID=
cleanup() {
    [ -n "$TIME_PID" ] && kill "$TIME_PID" 2>/dev/null
    [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT

Xvfb "$DISPLAY_NO" -screen 0 1280x1024x24 -nolisten tcp >"$OUT/xvfb.log" 2>&1 &
XVFB_PID=$!
export DISPLAY=$DISPLAY_NO
for _ in $(seq 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.05
done
unset QT_QPA_PLATFORM

now() { date +%s.%N; }
# The id of the visible top-level window whose title is exactly $1, or "".
visible() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
# Waits (at most $2 seconds) for the window titled $1 to be shown; prints its id.
wait_window() {
    local deadline id
    deadline=$(echo "$(now) + $2" | bc)
    while [ "$(echo "$(now) < $deadline" | bc)" = 1 ]; do
        id=$(visible "$1")
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.01
    done
    return 1
}
wait_gone() {
    for _ in $(seq 200); do
        [ -z "$(visible "$1")" ] && return 0
        sleep 0.05
    done
    return 1
}
# utime + stime of a process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# CPU time of all its threads in nanoseconds (the scheduler's own account).
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ s += $1 } END { printf "%d", s }'; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# 1. Start-up: from the launch to the main window being mapped (the first
# frame is painted as it maps).
echo "start-up to the shown window, $RUNS runs:"
: >"$OUT/startup"
for i in $(seq "$RUNS"); do
    t0=$(now)
    "$BIN" >"$OUT/run$i.log" 2>&1 &
    GAME_PID=$!
    if wait_window Turrion 20 >/dev/null; then
        t1=$(now)
        ms=$(echo "($t1 - $t0) * 1000" | bc)
        printf '  run %d: %.0f ms\n' "$i" "$ms"
        echo "$ms" >>"$OUT/startup"
    else
        echo "  run $i: no window within 20 s"
    fi
    sleep 1
    kill "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
    GAME_PID=
done
printf 'start-up median: %.0f ms\n' "$(median <"$OUT/startup")"

# 2. One run under /usr/bin/time: memory after start-up, then a two-player
# game in its move phase left idle.
/usr/bin/time -v -o "$OUT/time.txt" "$BIN" >"$OUT/timed.log" 2>&1 &
TIME_PID=$!
WIN=$(wait_window Turrion 20) || { echo "no window" >&2; exit 1; }
GAME_PID=$(pgrep -P "$TIME_PID" | head -n 1)
sleep 2
echo "after start-up (title shown, 2 s later):"
grep -E '^(VmRSS|VmHWM|RssAnon|RssFile|Threads)' "/proc/$GAME_PID/status" | sed 's/^/  /'

xdotool windowfocus --sync "$WIN" 2>/dev/null
xdotool key --clearmodifiers ctrl+n
REPORT=$(wait_window "Turrion - Blue Player" 10) || { echo "no turn report" >&2; exit 1; }
sleep 0.5
xdotool windowfocus --sync "$REPORT" 2>/dev/null
xdotool key Return # "None": no recruit
wait_gone "Turrion - Blue Player" || { echo "turn report still open" >&2; exit 1; }
sleep 3 # settle

HZ=$(getconf CLK_TCK)
c0=$(cpu_ticks "$GAME_PID")
n0=$(cpu_ns "$GAME_PID")
t0=$(now)
sleep "$IDLE"
c1=$(cpu_ticks "$GAME_PID")
n1=$(cpu_ns "$GAME_PID")
t1=$(now)
echo "idle in the move phase for $IDLE s:"
echo "  CPU ticks used: $((c1 - c0)) at $HZ per second"
printf '  CPU: %.2f %% of one core (utime + stime)\n' \
    "$(echo "($c1 - $c0) / $HZ * 100 / ($t1 - $t0)" | bc -l)"
printf '  CPU: %.3f %% of one core (schedstat, all threads: %d ms)\n' \
    "$(echo "($n1 - $n0) / 10000000 / ($t1 - $t0)" | bc -l)" "$(((n1 - n0) / 1000000))"
grep -E '^(VmRSS|VmHWM|Threads|voluntary_ctxt_switches|nonvoluntary_ctxt_switches)' \
    "/proc/$GAME_PID/status" | sed 's/^/  /'
# MEASURE_SHOT=file.png keeps a picture of the idle window as a check that
# the game really was in its move phase (board, Moves panel, selector).
if [ -n "${MEASURE_SHOT:-}" ]; then
    import -window "$WIN" "$MEASURE_SHOT" && echo "  window picture: $MEASURE_SHOT"
fi

# Leave through Game > Exit so that /usr/bin/time reports a normal end.
xdotool windowfocus --sync "$WIN" 2>/dev/null
xdotool key --clearmodifiers alt+g
sleep 0.5
xdotool key x
for _ in $(seq 100); do
    kill -0 "$TIME_PID" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$TIME_PID" 2>/dev/null; then
    echo "(Exit did not end the program; stopping it)"
    kill "$GAME_PID" 2>/dev/null
fi
wait "$TIME_PID" 2>/dev/null
TIME_PID=
GAME_PID=
echo "/usr/bin/time -v of the whole run:"
grep -E 'Elapsed|Maximum resident|User time|System time|Percent of CPU|Exit status|signal' \
    "$OUT/time.txt" | sed 's/^\s*/  /'
rm -rf "$OUT"
