#!/usr/bin/env python3
"""Writes a synthetic year of hourly offshore waves and tides as two TSD files.

The same series as bench/bench_wave_velocity_series.cpp: storm groups on a calm
background, periods following the height, a semi-diurnal tide with a spring-neap cycle,
above a datum 1.2 m below MSL. For timing the command line on a whole year:

  scripts/synthetic-year.py /tmp/year
  time orvane-cli wave-velocity-series --wave-file /tmp/year/wave.tsd \\
      --tide-file /tmp/year/tide.tsd --msl 1.2 --slope 0.02 --points 6,4,2 \\
      --umax --xmax --jobs 0 -o /tmp/year/velocity.tsd
"""
import math
import os
import sys

HOURS = 8760


def series():
    hs, ts, tide = [], [], []
    for j in range(HOURS):
        days = j / 24.0
        storm = max(0.0, math.sin(2 * math.pi * days / 9.0)) ** 4
        h = 0.6 + 0.3 * math.sin(2 * math.pi * days / 365.0) + 3.0 * storm + 0.2 * math.sin(j * 0.71)
        t = 5.0 + 2.2 * math.sqrt(h) + 0.3 * math.sin(j * 0.37)
        z = (0.9 + 0.3 * math.cos(2 * math.pi * days / 14.77)) * math.sin(2 * math.pi * j / 12.42)
        hs.append(h)
        ts.append(t)
        tide.append(z + 1.2)
    return hs, ts, tide


def write_tsd(path, memo, names, units, coefficients, columns):
    lines = [
        "Time Series Data Text Format Ver.2", memo, "2025/01/01 00:00:00", "1 hr", "1",
        "0 sec", f"{len(names)},0", str(HOURS),
        ",".join(str(c) for c in coefficients), ",".join("0" for _ in names),
        ",".join(names), ",".join(units), "No.1",
    ]
    digits = [max(0, -int(math.floor(math.log10(c)))) for c in coefficients]
    for row in zip(*columns):
        lines.append(",".join(f"{v:.{d}f}" for v, d in zip(row, digits)))
    temporary = path + ".part"
    with open(temporary, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
    os.replace(temporary, path)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: synthetic-year.py FOLDER")
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    hs, ts, tide = series()
    write_tsd(os.path.join(folder, "wave.tsd"), "synthetic offshore waves", ["Hs", "Ts"],
              ["m", "s"], [0.01, 0.01], [hs, ts])
    write_tsd(os.path.join(folder, "tide.tsd"), "synthetic tide", ["Tide"], ["m"], [0.001], [tide])


if __name__ == "__main__":
    main()
