#!/usr/bin/env python3
"""A slow link between two NetPlay copies on one machine.

    tools/netplay-relay.py [--listen 3265] [--target 3264] [--delay 0.3]
                           [--limit 600]

Listens on 127.0.0.1:LISTEN for one connection at a time, connects it to the
host at 127.0.0.1:TARGET and forwards every chunk in both directions DELAY
seconds after it arrived, in the order it arrived. A side that closes its end
has the close forwarded after the data before it. The relay stops by itself
after LIMIT seconds. Loopback only; prints one line per forwarded chunk with
its direction and size when --verbose is given.
"""
import argparse
import asyncio
import sys
import time


async def pump(reader, writer, delay, tag, verbose):
    queue = asyncio.Queue()

    async def read_side():
        while True:
            data = await reader.read(65536)
            await queue.put((time.monotonic() + delay, data))
            if not data:
                return

    async def write_side():
        while True:
            due, data = await queue.get()
            wait = due - time.monotonic()
            if wait > 0:
                await asyncio.sleep(wait)
            if not data:
                try:
                    writer.write_eof()
                except (OSError, RuntimeError):
                    pass
                return
            if verbose:
                print(f"{time.monotonic():.3f} {tag} {len(data)} bytes", flush=True)
            writer.write(data)
            await writer.drain()

    try:
        await asyncio.gather(read_side(), write_side())
    except (ConnectionError, OSError):
        pass
    finally:
        writer.close()


async def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--listen", type=int, default=3265)
    ap.add_argument("--target", type=int, default=3264)
    ap.add_argument("--delay", type=float, default=0.3)
    ap.add_argument("--limit", type=float, default=600)
    ap.add_argument("--verbose", action="store_true")
    args = ap.parse_args()

    async def handle(client_reader, client_writer):
        try:
            host_reader, host_writer = await asyncio.open_connection("127.0.0.1", args.target)
        except OSError as error:
            print(f"cannot reach 127.0.0.1:{args.target}: {error}", file=sys.stderr)
            client_writer.close()
            return
        print("relaying a connection", flush=True)
        await asyncio.gather(
            pump(client_reader, host_writer, args.delay, "->host", args.verbose),
            pump(host_reader, client_writer, args.delay, "<-host", args.verbose))
        print("connection over", flush=True)

    server = await asyncio.start_server(handle, "127.0.0.1", args.listen)
    print(f"relay 127.0.0.1:{args.listen} -> 127.0.0.1:{args.target}, "
          f"{args.delay * 1000:.0f} ms each way, for {args.limit:.0f} s", flush=True)
    async with server:
        try:
            await asyncio.wait_for(server.serve_forever(), args.limit)
        except asyncio.TimeoutError:
            pass


if __name__ == "__main__":
    asyncio.run(main())
