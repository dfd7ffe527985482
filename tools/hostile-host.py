#!/usr/bin/env python3
"""A NetPlay host that misbehaves, for trying the connecting copy.

    tools/hostile-host.py MODE [--port 3264] [--interval 0.003]
                          [--duration 60] [--name Evil]

Listens on 127.0.0.1:PORT for one connection. As soon as the game connects it
answers "PD}NAME" (then the byte 255, as every message), and then, by MODE:

  ng       "NG}NAME" every INTERVAL seconds for DURATION seconds
  badlf    a damaged game file "LF}\\x01\\x01\\x0d\\x46\\x0b" (its cell
           record names row 7) every INTERVAL seconds for DURATION seconds
  apking   one new game, then "AP}" of every kind onto both Kings, "RP}" of
           both Kings and a move of a Wizard onto a King; then it stays
           connected for DURATION seconds
  mpcheat  one new game, then moves no player could make: the other side's
           King, the host's King into the river column, a Wizard across
           the board; then it stays connected for DURATION seconds
  forge    one new game, then placements and a shot no player could make:
           a second Blue King on Red's half, a Red Fire, and a ball onto
           Red's King with no Cannon; then it stays connected
  idle     nothing more; it stays connected for DURATION seconds

Everything the game sends is read (so its sends never block) and counted;
at the end it prints how many messages went each way and the codes it got.
It closes with "DQ}NAME". Loopback only.
"""
import argparse
import collections
import socket
import sys
import threading
import time

END = b"\xff"


def frame(text):
    return text.encode("cp1252", errors="replace") + END if isinstance(text, str) else text + END


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("mode", choices=["ng", "badlf", "apking", "mpcheat", "forge", "idle"])
    ap.add_argument("--port", type=int, default=3264)
    ap.add_argument("--interval", type=float, default=0.003)
    ap.add_argument("--duration", type=float, default=60)
    ap.add_argument("--name", default="Evil")
    ap.add_argument("--accept-timeout", type=float, default=120)
    args = ap.parse_args()

    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", args.port))
    server.listen(1)
    server.settimeout(args.accept_timeout)
    print(f"listening on 127.0.0.1:{args.port}", flush=True)
    try:
        conn, _ = server.accept()
    except socket.timeout:
        print("nobody connected", file=sys.stderr)
        return 1
    server.close()
    print("the game connected", flush=True)

    got = collections.Counter()
    stop = threading.Event()

    def reader():
        buffer = b""
        conn.settimeout(0.2)
        while not stop.is_set():
            try:
                data = conn.recv(65536)
            except socket.timeout:
                continue
            except OSError:
                return
            if not data:
                return
            buffer += data
            *messages, buffer = buffer.split(END)
            for m in messages:
                got[m[:3].decode("latin-1")] += 1
                if m[:3] in (b"GA}", b"BD}", b"DQ}", b"PD}"):
                    print("got", m.decode("latin-1"), flush=True)

    thread = threading.Thread(target=reader, daemon=True)
    thread.start()
    sent = 0

    def send(message):
        nonlocal sent
        conn.sendall(frame(message))
        sent += 1

    try:
        send("PD}" + args.name)
        time.sleep(0.5)
        end = time.monotonic() + args.duration
        if args.mode in ("ng", "badlf"):
            message = ("NG}" + args.name) if args.mode == "ng" else \
                b"LF}\x01\x01\x0d\x46\x0b"
            while time.monotonic() < end:
                send(message)
                time.sleep(args.interval)
        elif args.mode == "apking":
            send("NG}" + args.name)
            time.sleep(1.5)  # the other copy's "Starting a new game ..." pause
            for owner in (1, 2):
                for kind in range(1, 8):
                    for col, row in ((0, 1), (8, 1)):
                        send(f"AP}}{owner}{kind}{col:02d}{row:02d}0")
            send("RP}0001")
            send("RP}0801")
            send("MP}00050001")   # the Wizard onto the King
            while time.monotonic() < end:
                time.sleep(0.2)
        elif args.mode == "mpcheat":
            send("NG}" + args.name)
            time.sleep(1.5)
            send("MP}08010802")   # the other side's King, one cell down
            send("MP}00010401")   # the host's King into the river column
            send("MP}08050001")   # the other side's Wizard across the board
            while time.monotonic() < end:
                time.sleep(0.2)
        elif args.mode == "forge":
            send("NG}" + args.name)
            time.sleep(1.5)
            send("AP}1106060")    # a second Blue King, on Red's half
            send("AP}2506040")    # a Red Fire
            time.sleep(1.0)
            send("FC}08011")      # a ball onto Red's King with no Cannon fired
            while time.monotonic() < end:
                time.sleep(0.2)
        else:
            while time.monotonic() < end:
                time.sleep(0.2)
        send("DQ}" + args.name)
        time.sleep(0.5)
    except OSError as error:
        print(f"connection ended: {error}", flush=True)
    stop.set()
    thread.join(1)
    conn.close()
    print(f"sent {sent} messages; received {sum(got.values())}: {dict(got)}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
