#!/usr/bin/env python3
# Draws the "Plugin_Logo" picture of the configuration dialog (72 x 72 PNG) to logo.png; its bytes
# live in src/Plugin_Resources.cpp.
import zlib, struct, math
W = H = 72
S = 4  # samples per axis
def inside_round_rect(x, y, r=14, m=2):
    x0, y0, x1, y1 = m, m, W - m, H - m
    if x < x0 or x > x1 or y < y0 or y > y1: return False
    cx = min(max(x, x0 + r), x1 - r); cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
def dist_seg(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0, min(1, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))
def in_v(x, y):
    # a "V" for the product, over a bar for the wire it sends files down
    return (dist_seg(x, y, 20, 16, 36, 46) <= 5 or dist_seg(x, y, 52, 16, 36, 46) <= 5 or
            dist_seg(x, y, 18, 57, 54, 57) <= 2.5)
rows = []
for j in range(H):
    row = bytearray([0])
    for i in range(W):
        acc = [0.0, 0.0, 0.0, 0.0]
        for sj in range(S):
            for si in range(S):
                x = i + (si + 0.5) / S; y = j + (sj + 0.5) / S
                if not inside_round_rect(x, y): continue
                if in_v(x, y): c = (255, 255, 255)
                else:
                    t = y / H
                    c = (int(30 + 20 * t), int(110 - 40 * t), int(200 - 40 * t))
                for k in range(3): acc[k] += c[k]
                acc[3] += 255
        n = S * S
        a = acc[3] / n
        if a > 0:
            px = [int(acc[k] / (acc[3] / 255)) for k in range(3)]
        else:
            px = [0, 0, 0]
        row += bytes(px + [int(round(a))])
    rows.append(bytes(row))
raw = b"".join(rows)
def chunk(t, d): return struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d) & 0xffffffff)
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 6, 0, 0, 0)) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
open("logo.png", "wb").write(png)
print(len(png))
