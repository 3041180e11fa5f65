#!/usr/bin/env python3
"""Writes a synthetic year of offshore waves and tides as two TSD files.

The same series as bench/bench_wave_velocity_series.cpp: storm groups on a calm
background, periods following the height, a semi-diurnal tide with a spring-neap cycle,
above a datum 1.2 m below MSL. Hourly by default (8,760 samples); `--minutes 10` writes
10-minute samples (52,560). For timing the command line on a whole year:

  scripts/synthetic-year.py --minutes 10 /tmp/year
  time orvane-cli wave-velocity-series --wave-file /tmp/year/wave.tsd \\
      --tide-file /tmp/year/tide.tsd --msl 1.2 --slope 0.02 --points 6,4,2 \\
      --umax --xmax -o /tmp/year/velocity.tsd
"""
import argparse
import math
import os

HOURS = 8760


def series(minutes):
    hs, ts, tide = [], [], []
    per_hour = 60 // minutes
    for i in range(HOURS * per_hour):
        j = i / per_hour  # hours since the start; the hourly series takes whole hours
        days = j / 24.0
        storm = max(0.0, math.sin(2 * math.pi * days / 9.0)) ** 4
        h = 0.6 + 0.3 * math.sin(2 * math.pi * days / 365.0) + 3.0 * storm + 0.2 * math.sin(j * 0.71)
        t = 5.0 + 2.2 * math.sqrt(h) + 0.3 * math.sin(j * 0.37)
        z = (0.9 + 0.3 * math.cos(2 * math.pi * days / 14.77)) * math.sin(2 * math.pi * j / 12.42)
        hs.append(h)
        ts.append(t)
        tide.append(z + 1.2)
    return hs, ts, tide


def write_tsd(path, memo, interval, names, units, coefficients, columns):
    lines = [
        "Time Series Data Text Format Ver.2", memo, "2025/01/01 00:00:00", interval, "1",
        "0 sec", f"{len(names)},0", str(len(columns[0])),
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
    parser = argparse.ArgumentParser(description="Writes a synthetic year as two TSD files.")
    parser.add_argument("--minutes", type=int, choices=[10, 60], default=60,
                        help="sampling interval in minutes (default 60)")
    parser.add_argument("folder")
    args = parser.parse_args()
    os.makedirs(args.folder, exist_ok=True)
    hs, ts, tide = series(args.minutes)
    interval = "1 hr" if args.minutes == 60 else f"{args.minutes} min"
    write_tsd(os.path.join(args.folder, "wave.tsd"), "synthetic offshore waves", interval,
              ["Hs", "Ts"], ["m", "s"], [0.01, 0.01], [hs, ts])
    write_tsd(os.path.join(args.folder, "tide.tsd"), "synthetic tide", interval, ["Tide"], ["m"],
              [0.001], [tide])


if __name__ == "__main__":
    main()
