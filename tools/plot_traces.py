#!/usr/bin/env python3
"""Draws the raw traces of some piles of a project file or tester folder, one panel per pile, with
the head (green), the toe echo expected at 2L/c (red) and the recorded defects at 2z/c (blue).
For looking at simulated data by eye; needs pilewave-cli and ImageMagick's convert.
    tools/plot_traces.py build/cli/pilewave-cli PATH OUT.png [PILE ...]"""
import json
import subprocess
import sys

W, H = 1024, 170  # one panel: a column per sample


def panel(rec):
    img = [[(255, 255, 255)] * W for _ in range(H)]
    raw = [v if v is not None else 0.0 for v in rec["m_fRaw"]]
    head = rec["m_nHeadSample"]
    base = sum(raw[:max(head, 1)]) / max(head, 1)
    vals = [v - base for v in raw]
    scale = (H / 2 - 8) / max(1e-9, max(abs(v) for v in vals))
    dt, c, length = rec["m_fSampleInterval"], rec["m_nWaveSpeed"], rec["m_fPileLength"]

    def vline(x, color):
        if 0 <= x < W:
            for y in range(0, H, 2):
                img[y][x] = color

    for x in range(W):
        img[H // 2][x] = (200, 200, 200)
    vline(head, (0, 160, 0))
    if dt and c:
        vline(int(round(head + 2e6 * length / c / dt)), (220, 0, 0))
        for d in rec["m_Defects"]:
            if d["nType"]:
                vline(int(round(head + 2e6 * d["fDepth"] / c / dt)), (0, 0, 230))
    prev = None
    for x, v in enumerate(vals):
        y = int(round(H / 2 - v * scale))
        y = min(H - 1, max(0, y))
        lo, hi = (y, y) if prev is None else (min(y, prev), max(y, prev))
        for yy in range(lo, hi + 1):
            img[yy][x] = (0, 0, 0)
        prev = y
    return img


def main():
    cli, path, out = sys.argv[1:4]
    wanted = [int(a) for a in sys.argv[4:]]
    data = json.loads(subprocess.run([cli, "info", "--json", path], check=True, capture_output=True).stdout)
    piles = [p for p in data["piles"] if not wanted or p["m_nPileNo"] in wanted]
    rows = []
    for p in piles:
        rows += panel(p)
        rows += [[(120, 120, 120)] * W]
        print("%d %s: L=%.1f m c=%d dt=%g head=%d defects=%s" % (
            p["m_nPileNo"], p["m_szPileName"], p["m_fPileLength"], p["m_nWaveSpeed"], p["m_fSampleInterval"],
            p["m_nHeadSample"], [(d["nType"], round(d["fDepth"], 2)) for d in p["m_Defects"] if d["nType"]]))
    ppm = bytearray(b"P6 %d %d 255\n" % (W, len(rows)))
    for row in rows:
        for r, g, b in row:
            ppm += bytes((r, g, b))
    subprocess.run(["convert", "ppm:-", out], input=bytes(ppm), check=True)


main()
