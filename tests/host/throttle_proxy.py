#!/usr/bin/python3
"""A TCP proxy on 127.0.0.1 that forwards every connection to TARGET_PORT on 127.0.0.1 and lets
at most RATE bytes per second through in each direction, so a transfer through it takes as long
as a test needs. With STALL, a connection stops forwarding anything (and stays open) once STALL
bytes went through it either way: a server that stalls. Prints its port, then runs until killed.
Usage: throttle_proxy.py TARGET_PORT RATE [STALL]"""
import asyncio
import sys

TARGET_PORT, RATE = int(sys.argv[1]), int(sys.argv[2])
STALL = int(sys.argv[3]) if len(sys.argv) > 3 else 0
CHUNK = max(1, RATE // 20)


async def pump(reader, writer, moved):
    try:
        while True:
            data = await reader.read(CHUNK)
            if not data:
                break
            moved[0] += len(data)
            if STALL and moved[0] > STALL:
                await asyncio.Event().wait()  # forever
            writer.write(data)
            await writer.drain()
            await asyncio.sleep(len(data) / RATE)
    except (ConnectionError, OSError):
        pass
    finally:
        writer.close()


async def serve(client_reader, client_writer):
    try:
        server_reader, server_writer = await asyncio.open_connection("127.0.0.1", TARGET_PORT)
    except OSError:
        client_writer.close()
        return
    moved = [0]
    await asyncio.gather(pump(client_reader, server_writer, moved), pump(server_reader, client_writer, moved))


async def main():
    server = await asyncio.start_server(serve, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
