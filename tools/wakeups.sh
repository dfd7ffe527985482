#!/bin/bash
# Wake-ups of a running process: the voluntary and involuntary context
# switches of all its threads over a span, from /proc/PID/task/*/status.
#
#   tools/wakeups.sh PID [seconds]
#
# Prints the switches per second and the split by thread. A thread that
# appears during the span counts with all its switches; one that ends during
# it is missed (the line says how many threads came and went).
set -u
PID=${1:?usage: tools/wakeups.sh PID [seconds]}
SPAN=${2:-10}
snap() {
    for st in /proc/"$PID"/task/*/status; do
        tid=${st#/proc/$PID/task/}
        tid=${tid%/status}
        awk -v tid="$tid" '/^Name:/ { n = $2 } /^voluntary_ctxt_switches/ { v = $2 }
            /^nonvoluntary_ctxt_switches/ { i = $2 }
            END { print tid, n, v + i }' "$st" 2>/dev/null
    done | sort
}
A=$(snap)
t0=$(date +%s.%N)
sleep "$SPAN"
B=$(snap)
t1=$(date +%s.%N)
join -a 2 -e 0 -o 2.1,2.2,1.3,2.3 <(echo "$A") <(echo "$B") |
    awk -v span="$(echo "$t1 - $t0" | bc -l)" -v gone="$(join -v 1 <(echo "$A") <(echo "$B") | wc -l)" '
        { d = $4 - $3; total += d; printf "  thread %s (%s): %d\n", $1, $2, d }
        END { printf "%.1f wake-ups per second (%d switches in %.1f s; %d thread(s) ended)\n",
                     total / span, total, span, gone }'
