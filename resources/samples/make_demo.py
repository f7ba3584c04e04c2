#!/usr/bin/env python3
"""Writes demo.wvf: a small version-3 project of six piles with simple synthetic traces
(a half-sine blow, the toe echo at 2L/c, a defect echo, decay and a little noise).
Run from this folder: python3 make_demo.py   (seeded: the output is always the same)."""
import math
import random
import struct

random.seed(20261210)


def text(s, width):
    b = s.encode("gbk")[: width - 1]
    return b + b"\0" * (width - len(b))


def trace(length, speed, dt_us, head, defect_depth, defect_sign):
    n = 1024
    out = [0.0] * n
    blow = 1.0e-3  # s
    def pulse(t0, amp):
        for i in range(n):
            t = (i - head) * dt_us * 1e-6 - t0
            if 0 <= t < blow:
                out[i] += amp * math.sin(math.pi * t / blow)
    pulse(0.0, 100.0)
    pulse(2 * length / speed, 35.0)
    pulse(4 * length / speed, 12.0)
    if defect_depth:
        pulse(2 * defect_depth / speed, 20.0 * defect_sign)
    for i in range(n):
        t = max(0, i - head) * dt_us * 1e-6
        out[i] = out[i] * math.exp(-t * 60.0) + random.gauss(0.0, 0.4) + 1.5
    return out


piles = [
    # name, type, diameter, length, speed, dt, defect (depth, type, sign)
    ("1#", 1, 800, 12.0, 3800, 20.0, None),
    ("1#", 1, 800, 12.0, 3800, 20.0, None),
    ("A-12", 1, 1000, 18.5, 3900, 25.0, (7.5, 2, 1)),
    ("3-5", 5, 400, 9.0, 3700, 10.0, (4.0, 1, -1)),
    ("7#", 0, 500, 15.0, 3650, 20.0, (6.0, 3, 1)),
    ("B-2", 6, 500, 24.0, 4000, 25.0, None),
]

out = bytearray()
out += b"WVF03" + struct.pack("<h", len(piles))
out += text("示例检测单位", 50) + text("示例工程", 20)
for no, (name, ptype, diam, length, speed, dt, defect) in enumerate(piles, 1):
    head = 50
    rec = bytearray()
    rec += struct.pack("<h", no) + text(name, 10) + struct.pack("<hh", ptype, diam) + text("2026-11-2%d" % no, 20)
    rec += struct.pack("<hhhf", 1, 0, 0, 0.0)  # signal type, aux1, aux2, aux3
    rec += struct.pack("<hhhhh", 0, 1, 0, 0, 0)  # integrate, passes, pre-zero, post-cut, shift y
    rec += struct.pack("<ihhi", 0, 0, 0, 0)  # checked, shift x, zoom, no segments
    rec += text("demo", 40)
    rec += struct.pack("<fhfhhffffhhh", length, speed, dt, 0, 0, 1.0, 0.0, 0.0, 0.0, 0, head, 1)
    defects = [(defect[1], defect[0])] if defect else []
    defects += [(0, 0.0)] * (10 - len(defects))
    for t, d in defects:
        rec += struct.pack("<hf", t, d)
    info = text("", 36)
    rec += info[:12] + struct.pack("<h", 1) + info
    samples = trace(length, speed, dt, head, defect[0] if defect else None, defect[2] if defect else 0)
    rec += struct.pack("<1024f", *samples)
    rec += struct.pack("<h", 0)
    assert len(rec) == 4352
    out += rec

with open("demo.wvf", "wb") as f:
    f.write(out)
print("demo.wvf: %d piles, %d bytes" % (len(piles), len(out)))
