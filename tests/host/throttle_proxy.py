#!/usr/bin/python3
"""A TCP proxy on 127.0.0.1 that forwards every connection to TARGET_PORT on 127.0.0.1 and lets
at most RATE bytes per second through in each direction, so a transfer through it takes as long
as a test needs. Prints its port, then runs until killed.
Usage: throttle_proxy.py TARGET_PORT RATE"""
import asyncio
import sys

TARGET_PORT, RATE = int(sys.argv[1]), int(sys.argv[2])
CHUNK = max(1, RATE // 20)


async def pump(reader, writer):
    try:
        while True:
            data = await reader.read(CHUNK)
            if not data:
                break
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
    await asyncio.gather(pump(client_reader, server_writer), pump(server_reader, client_writer))


async def main():
    server = await asyncio.start_server(serve, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
