#!/usr/bin/env python3
"""An example engine for turrion-arena: random, but legal, play.

    build/bin/turrion-arena --blue "engine:python3 tools/example-engine.py" \
        --red normal --games 10 --seed 1

It reads the game from each `turn` line (the bytes of a saved game: the
player on turn, the turn number, the moves x 2 + 1, then one pair of bytes
per occupied cell: row x 10 + column, owner x 10 + piece), recruits at
random when its portal is free, walks random pieces into free cells of its
own half and now and then fires a ready Cannon, which ends its turn.
An optional argument seeds its choices. See docs/engine-protocol.md.
"""
import random
import sys

KING, WIZARD, BUILDER, WALL, FIRE, CANNON, CANNON_FIRED = range(1, 8)
MOVABLE = (KING, WIZARD, BUILDER, CANNON, CANNON_FIRED)
RECRUITS = {"none": None, "wizard": WIZARD, "builder": BUILDER, "cannon": CANNON}
STEPS = {"up": (0, -1), "down": (0, 1), "left": (-1, 0), "right": (1, 0)}


def play_turn(hex_game, rng):
    data = bytes.fromhex(hex_game)
    if len(data) < 3 or len(data) % 2 == 0 or data[0] not in (1, 2):
        raise ValueError("not a game in play")
    me, moves = data[0], data[2] // 2
    board = {}  # (column, row) -> (owner, piece)
    for i in range(3, len(data), 2):
        board[(data[i] % 10, data[i] // 10)] = (data[i + 1] // 10, data[i + 1] % 10)
    own_half = range(0, 4) if me == 1 else range(5, 9)
    portal = (0, 3) if me == 1 else (8, 3)

    recruit = rng.choice(list(RECRUITS)) if portal not in board else "none"
    if RECRUITS[recruit]:
        board[portal] = (me, RECRUITS[recruit])
    words = [recruit]
    for _ in range(50):
        if moves <= 0 or rng.random() < 0.1:
            break
        mine = [cell for cell, (owner, piece) in board.items() if owner == me and piece in MOVABLE]
        col, row = rng.choice(mine)
        if board[(col, row)][1] == CANNON and rng.random() < 0.3:
            # Where the ball lands and what it costs is the arena's business:
            # the shot is this turn's last action.
            words += [f"select:{col},{row}", f"fire:{rng.randint(1, min(8, moves))}"]
            break
        free = [d for d, (dc, dr) in STEPS.items()
                if col + dc in own_half and 0 <= row + dr < 7 and (col + dc, row + dr) not in board]
        if not free:
            continue
        direction = rng.choice(free)
        dc, dr = STEPS[direction]
        words += [f"select:{col},{row}", f"step:{direction}"]
        board[(col + dc, row + dr)] = board.pop((col, row))
        moves -= 1
    return " ".join(words)


def main():
    rng = random.Random(sys.argv[1] if len(sys.argv) > 1 else 1)
    for line in sys.stdin:
        line = line.rstrip("\r\n")
        if line == "turrion-engine 1":
            print("ready example-random", flush=True)
        elif line.startswith("turn "):
            try:
                answer = play_turn(line[5:], rng)
            except (ValueError, IndexError) as error:
                print(f"example-engine: cannot read the game ({error}); ending the turn",
                      file=sys.stderr)
                answer = "none"
            print(answer, flush=True)
        elif line == "quit":
            break


if __name__ == "__main__":
    main()
