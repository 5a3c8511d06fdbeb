#!/usr/bin/env python3
"""Writes a synthetic KORVA 2.0 line for the benchmarks: RECORDS records of
16384 little-endian 16-bit samples at 8 kHz (index 5), scan numbers from
FIRST, a dipping reflector over a weak background, and a navigation text per
record.

  bench/gen_korva.py --records 10000 --out line.D02 [--first 1000]
"""
import argparse
import array
import math
import struct
import sys

SAMPLES = 16384
HEADER = 288


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--records", type=int, default=10000)
    ap.add_argument("--first", type=int, default=1000)
    ap.add_argument("--trig-delay", type=int, default=80)
    ap.add_argument("--out", required=True)
    a = ap.parse_args()

    # A Ricker-like wavelet; every record is the background plus the wavelet at
    # its own depth, so only a slice of each record is rebuilt.
    wavelet = [int(12000 * (1 - 2 * (math.pi * 0.06 * t) ** 2) * math.exp(-(math.pi * 0.06 * t) ** 2))
               for t in range(-40, 41)]
    background = array.array("h", ((k * 7919) % 601 - 300 for k in range(SAMPLES)))
    with open(a.out, "wb") as f:
        for r in range(a.records):
            scan = a.first + r
            nav = b"%d 2026 342 8 %02d %02d 43.%08d 7.%08d" % (
                scan, (r // 60) % 60, r % 60, 50000000 + r * 11, 25000000 + r * 7)
            h = bytearray(HEADER)
            struct.pack_into("<fIIIIHHHHBBBB", h, 0, 0.0, scan, 256, a.trig_delay, 16384,
                             0, 1, 1, 5, 16, 1, 1, 0)
            h[32] = len(nav)
            h[33:33 + len(nav)] = nav
            trace = array.array("h", background)
            depth = 2000 + int(600 * math.sin(r / 400.0)) + (r * 3) % 50
            for i, w in enumerate(wavelet):
                trace[depth + i] = max(-32768, min(32767, trace[depth + i] + w))
            if sys.byteorder != "little":
                trace.byteswap()
            f.write(h)
            f.write(trace.tobytes())
    return 0


if __name__ == "__main__":
    sys.exit(main())
