#!/usr/bin/env python3
"""Bjøntegaard delta rates of encodings against a reference encoding.

Reads rows "content variant point bytes cpu mask colour overWhite edgeWhite"
(whitespace separated, '#' comments) on standard input and prints, for each
content and each variant but the reference, the average difference in bytes
at equal quality, per measure, in per cent (negative: smaller files), with
the variant's encode CPU seconds over all its points against the
reference's. Each curve is log(bytes) as a function of PSNR, interpolated
piecewise cubically and monotonically (the curves of real encoders are), and
the two are compared over the PSNR range both cover. Where they cover none
in common, a bound: "<-40.0" when even the variant's smallest file beats the
reference's largest (40 % fewer bytes, and better), ">+25.0" the other way.

  bench/bdrate.py [--reference NAME] < rows
"""
import argparse
import math
import sys
from collections import defaultdict

MEASURES = ("mask", "colour", "overWhite", "edgeWhite")


def pchip_slopes(xs, ys):
    n = len(xs)
    h = [xs[i + 1] - xs[i] for i in range(n - 1)]
    d = [(ys[i + 1] - ys[i]) / h[i] for i in range(n - 1)]
    if n == 2:
        return [d[0], d[0]]
    m = [0.0] * n
    for i in range(1, n - 1):
        if d[i - 1] * d[i] <= 0:
            m[i] = 0.0
        else:
            w1, w2 = 2 * h[i] + h[i - 1], h[i] + 2 * h[i - 1]
            m[i] = (w1 + w2) / (w1 / d[i - 1] + w2 / d[i])

    def end(h0, h1, d0, d1):
        slope = ((2 * h0 + h1) * d0 - h0 * d1) / (h0 + h1)
        if slope * d0 <= 0:
            return 0.0
        if d0 * d1 <= 0 and abs(slope) > abs(3 * d0):
            return 3 * d0
        return slope

    m[0] = end(h[0], h[1], d[0], d[1])
    m[-1] = end(h[-1], h[-2], d[-1], d[-2])
    return m


def pchip_integral(xs, ys, lo, hi, steps=2000):
    """The integral of the interpolant over [lo, hi], numerically."""
    m = pchip_slopes(xs, ys)

    def value(x):
        i = max(0, min(len(xs) - 2, next((k for k in range(len(xs) - 1) if x <= xs[k + 1]), len(xs) - 2)))
        h = xs[i + 1] - xs[i]
        t = (x - xs[i]) / h
        return ((2 * t**3 - 3 * t**2 + 1) * ys[i] + (t**3 - 2 * t**2 + t) * h * m[i]
                + (-2 * t**3 + 3 * t**2) * ys[i + 1] + (t**3 - t**2) * h * m[i + 1])

    width = (hi - lo) / steps
    return sum(value(lo + (k + 0.5) * width) for k in range(steps)) * width


def curve(points, measure):
    """(psnr, log bytes) sorted by PSNR, dropping non-finite ones and ties."""
    pairs = sorted((p[measure], math.log(p["bytes"])) for p in points if math.isfinite(p[measure]))
    unique = []
    for x, y in pairs:
        if not unique or x > unique[-1][0] + 1e-6:
            unique.append((x, y))
    return [x for x, _ in unique], [y for _, y in unique]


def bd_rate(reference, test, measure):
    rx, ry = curve(reference, measure)
    tx, ty = curve(test, measure)
    if len(rx) < 2 or len(tx) < 2:
        return None
    lo, hi = max(rx[0], tx[0]), min(rx[-1], tx[-1])
    if hi - lo < 0.1:
        # No common range: a bound from the nearest ends. Better at its
        # lowest rate than the reference at its highest: fewer bytes than
        # that ratio says; worse everywhere: more.
        if tx[0] >= rx[-1] - 0.1:
            return "<%+.1f" % ((math.exp(ty[0] - ry[-1]) - 1) * 100)
        if tx[-1] <= rx[0] + 0.1:
            return ">%+.1f" % ((math.exp(ty[-1] - ry[0]) - 1) * 100)
        return None
    ref = pchip_integral(rx, ry, lo, hi) / (hi - lo)
    tst = pchip_integral(tx, ty, lo, hi) / (hi - lo)
    return (math.exp(tst - ref) - 1) * 100


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--reference", default="plain")
    arguments = parser.parse_args()
    rows = defaultdict(lambda: defaultdict(list))
    order = []
    for line in sys.stdin:
        fields = line.split()
        if not fields or fields[0].startswith("#"):
            continue
        content, variant = fields[0], fields[1]
        values = [float(v) if v not in ("null", "None") else float("nan") for v in fields[3:]]
        point = dict(zip(("bytes", "cpu") + MEASURES, values))
        rows[content][variant].append(point)
        if (content, variant) not in order:
            order.append((content, variant))
    header = f"{'content':10s} {'variant':28s}" + "".join(f" {m + ' %':>12s}" for m in MEASURES) + "  CPU s (ref)"
    print(header)
    for content, variant in order:
        if variant == arguments.reference:
            continue
        reference = rows[content].get(arguments.reference)
        if not reference:
            continue
        test = rows[content][variant]
        cells = []
        for measure in MEASURES:
            rate = bd_rate(reference, test, measure)
            if rate is None:
                cells.append(f" {'-':>12s}")
            elif isinstance(rate, str):
                cells.append(f" {rate:>12s}")
            else:
                cells.append(f" {rate:+12.1f}")
        cpu = sum(p["cpu"] for p in test)
        reference_cpu = sum(p["cpu"] for p in reference)
        print(f"{content:10s} {variant:28s}" + "".join(cells) + f"  {cpu:5.1f} ({reference_cpu:.1f})")


if __name__ == "__main__":
    main()
