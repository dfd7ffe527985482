#!/usr/bin/env python3
"""An engine that misbehaves on purpose, for the arena's forfeit tests.

The one argument says how: `illegal` selects a cell of the river, `unknown`
answers with a word the protocol does not have, `silent` never answers a
turn, `exit` leaves at its first turn.
"""
import sys

mode = sys.argv[1]
for line in sys.stdin:
    if line.startswith("turrion-engine"):
        print(f"ready scripted-{mode}", flush=True)
    elif line.startswith("turn "):
        if mode == "exit":
            sys.exit(3)
        if mode == "illegal":
            print("none select:4,0", flush=True)
        elif mode == "unknown":
            print("none jump", flush=True)
    elif line.startswith("quit"):
        break
