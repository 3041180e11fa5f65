#!/usr/bin/env python3
"""Writes the series fixtures byte by byte from the file layouts (not with the program),
so that the tests compare the program's files against an independent rendering."""
import datetime
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
MAGIC = b"Standard Burst-Interval Data Format Ver."
START = float((datetime.date(2003, 8, 14) - datetime.date(1899, 12, 30)).days) + 0.5  # 12:00:00
MEMO = "観測点A".encode("cp932")


def text(b, width):
    return b[:width].ljust(width, b" ")


def fixed(version, nch_i, nch_b, samples, sint, sunit, iteration, bint, bunit, memo=MEMO):
    out = text(MAGIC + str(version).encode(), 50) + text(memo, 160)
    if version == 1:
        out += struct.pack("<hhiihid", nch_i, nch_b, samples, sint, iteration, bint, START) + b" " * 20
    else:
        out += struct.pack("<hhiiBhiBd", nch_i, nch_b, samples, sint, sunit, iteration, bint, bunit, START)
        out += b" " * 18
    assert len(out) == 256
    return out


def table(channels):
    out = b""
    for name, unit, a, b in channels:
        out += text(name.encode("cp932"), 16) + text(unit.encode("cp932"), 8) + struct.pack("<ff", a, b)
    pad = (-len(out)) % 256
    return out + b" " * pad


def words(values):
    return struct.pack("<%dh" % len(values), *values)


CHANNELS = [("Hs", "m", 0.01, 0.0), ("Tide", "m", 0.001, 0.0)]
# Sample-major rows of (Hs, Tide); -32768 is the version-4 missing sample.
BURST0 = [123, 500, -32768, 512, 120, 520]
BURST1 = [1, 2, 3, 4, 5, -32767]


def old(values):
    return [32767 if v == -32768 else v for v in values]


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    head4 = fixed(4, 2, 0, 3, 500, 1, 2, 1, 4) + table(CHANNELS)
    assert len(head4) == 512
    write("v4_two_channels.sdf", head4 + words(BURST0) + words(BURST1))

    record = lambda ws: ws.ljust(256, b"\0")
    write("v2_two_channels.sdf", fixed(2, 2, 0, 3, 500, 1, 2, 1, 4) + table(CHANNELS)
          + record(words(old(BURST0))) + record(words(old(BURST1))))
    write("v1_two_channels.sdf", fixed(1, 2, 0, 3, 500, 0, 2, 3600000, 0) + table(CHANNELS)
          + record(words(old(BURST0))) + record(words(old(BURST1))))

    write("v4_no_channels.sdf", fixed(4, 0, 0, 0, 1, 2, 0, 0, 2, b""))
    nine = [("ch%d" % i, "cm", 1.0, float(i)) for i in range(9)]
    write("v4_nine_channels.sdf", fixed(4, 7, 2, 0, 1, 2, 0, 10, 3, b"") + table(nine))

    # A scale that 7 significant digits cannot carry (0.0123456789 as a single).
    write("fine_coefficient.sdf", fixed(4, 1, 0, 1, 1, 2, 1, 0, 2) + table([("x", "m", 0.0123456789, 0.0)])
          + words([5]))

    crlf = lambda lines: ("\r\n".join(lines) + "\r\n").encode("cp932")
    write("v4_two_channels.tsd", crlf([
        "Time Series Data Text Format Ver.2", "観測点A", "2003/08/14 12:00:00", "500 msec", "2",
        "1 hr", "2,0", "3", "0.01,0.001", "0,0", "Hs,Tide", "m,m",
        "No.1", "1.23,0.5", "=,0.512", "1.2,0.52",
        "No.2", "0.01,0.002", "0.03,0.004", "0.05,-32.767"]))
    write("example_v2.tsd", crlf([
        "Time Series Data Text Format Ver.2", "mooring A, spring tide", "2003/08/14 10:00:00",
        "500 msec", "1", "0 sec", "2,0", "3", "0.01,0.001", "0,0", "Hs,Tide", "m,m",
        "No.1", "1.23,0.5", "=,0.512", "1.2,0.52"]))
    # Ver.1 with LF line ends, quoted names and an empty (missing) field.
    write("three_channels_v1.tsd", "\n".join([
        "Time Series Data Text Format Ver.1", "'old buoy'", "1998/01/02 03:04:05", "250", "2",
        "1,0.5,2", "0,0,-1", "'Hs','Ts',Dir", "m,s,deg", "1,2,3", ",4,5"]).encode("cp932") + b"\n")
    # Two bursts with one burst channel.
    write("burst_channel.tsd", crlf([
        "Time Series Data Text Format Ver.2", "", "2010/01/01 00:00:00", "1 sec", "2", "10 min",
        "1,1", "2", "1,0.5", "0,10", "Vel,Temp", "cm/s,degC",
        "No.1", "5", "6", "20", "No.2", "7", "=", "=" ]))


if __name__ == "__main__":
    main()
