#!/usr/bin/python3
"""A TCP proxy on 127.0.0.1 that forwards every connection to TARGET_PORT on 127.0.0.1 and holds
each piece of data DELAY_MS milliseconds in each direction (a round trip of twice that), like a
distant server. With --ftp it also carries the passive data connections: the server's 227 and
229 replies are rewritten to a port of the proxy's that forwards (with the same delay) to the
port the server named. Prints its port, then runs until killed.
Usage: delay_proxy.py TARGET_PORT DELAY_MS [--ftp]"""
import asyncio
import re
import sys

TARGET_PORT, DELAY = int(sys.argv[1]), int(sys.argv[2]) / 1000.0
FTP = "--ftp" in sys.argv[3:]
PASSIVE = re.compile(rb"^227 .*?(\d+),(\d+),(\d+),(\d+),(\d+),(\d+)|^229 .*?\(\|\|\|(\d+)\|\)", re.M)


async def deliver(queue, writer):
    loop = asyncio.get_running_loop()
    try:
        while True:
            due, data = await queue.get()
            if data is None:
                break
            if due > loop.time():
                await asyncio.sleep(due - loop.time())
            writer.write(data)
            await writer.drain()
    except (ConnectionError, OSError):
        pass
    finally:
        writer.close()


async def passive_reply(data):
    """The server's passive replies pointed at a forwarding port of the proxy's."""
    out, last = b"", 0
    for m in PASSIVE.finditer(data):
        port = int(m.group(7)) if m.group(7) else int(m.group(5)) * 256 + int(m.group(6))
        local = await listen(port, False)
        if m.group(7):
            new = data[m.start():m.start(7)] + str(local).encode() + data[m.end(7):m.end()]
        else:
            new = data[m.start():m.start(1)] + b"127,0,0,1,%d,%d" % (local // 256, local % 256)
        out += data[last:m.start()] + new
        last = m.end()
    return out + data[last:]


async def pump(reader, queue, rewrite):
    loop = asyncio.get_running_loop()
    try:
        while True:
            data = await reader.read(65536)
            if not data:
                break
            if rewrite:
                data = await passive_reply(data)
            queue.put_nowait((loop.time() + DELAY, data))
    except (ConnectionError, OSError):
        pass
    finally:
        queue.put_nowait((loop.time() + DELAY, None))


async def listen(target, control):
    """A listener forwarding to `target`; a data connection's takes one connection only."""
    async def serve(client_reader, client_writer):
        if not control:
            server.close()
        try:
            server_reader, server_writer = await asyncio.open_connection("127.0.0.1", target)
        except OSError:
            client_writer.close()
            return
        up, down = asyncio.Queue(), asyncio.Queue()
        await asyncio.gather(pump(client_reader, up, False), deliver(up, server_writer),
                             pump(server_reader, down, control and FTP), deliver(down, client_writer))

    server = await asyncio.start_server(serve, "127.0.0.1", 0)
    return server.sockets[0].getsockname()[1]


async def main():
    print(await listen(TARGET_PORT, True), flush=True)
    await asyncio.Event().wait()


if __name__ == "__main__":
    asyncio.run(main())
