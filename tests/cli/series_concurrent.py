"""Series writers run side by side in one folder, with real processes.

Usage: series_concurrent.py CLI WORKDIR
1. `series upgrade a.sdf & series upgrade b.sdf` on two Ver.2 archives: each file ends up
   with its own data as Ver.4, and both say so.
2. Two exports to the same .nc at once: both succeed, the file is one of the two whole.
3. netCDF export of an SDF with burst channels only.
No temporary is left behind in any case.
"""
import os
import shutil
import struct
import subprocess
import sys

cli, work = sys.argv[1:3]
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
MAGIC = b"Standard Burst-Interval Data Format Ver."
BURSTS, SAMPLES = 20, 100000


def header(version, nch_i, nch_b, samples, bursts, channels):
    out = (MAGIC + str(version).encode()).ljust(50) + b"memo".ljust(160)
    out += struct.pack("<hhiiBhiBd", nch_i, nch_b, samples, 500, 1, bursts, 1, 4, 40000.5) + b" " * 18
    table = b"".join(n.ljust(16) + b"m".ljust(8) + struct.pack("<ff", 0.01, 0) for n in channels)
    return out + table.ljust(256 * ((len(table) + 255) // 256), b" ")


def archive(path, seed):
    with open(path, "wb") as f:
        f.write(header(2, 1, 0, SAMPLES, BURSTS, [b"Hs"]))
        record = (SAMPLES * 2 + 255) // 256 * 256
        for k in range(BURSTS):
            f.write(struct.pack("<h", seed + k) * SAMPLES + b"\0" * (record - SAMPLES * 2))


def burst_values(path, k):
    with open(path, "rb") as f:
        data = f.read()
    assert data[:41] == MAGIC + b"4", path
    at = 512 + k * SAMPLES * 2
    return set(struct.unpack("<%dh" % SAMPLES, data[at:at + SAMPLES * 2]))


def leftovers():
    return [n for n in os.listdir(work) if "orvane-partial" in n or n.endswith("~") or n.startswith("Qr~")]


failures = []
for trial in range(3):
    a, b = os.path.join(work, "a.sdf"), os.path.join(work, "b.sdf")
    archive(a, 100)
    archive(b, 1000)
    runs = [subprocess.Popen([cli, "series", "upgrade", p], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                             text=True) for p in (a, b)]
    outs = [r.communicate() for r in runs]
    for r, (out, err), p, seed in zip(runs, outs, (a, b), (100, 1000)):
        if r.returncode != 0 or "Ver.2 から Ver.4 に更新しました" not in out:
            failures.append("upgrade %s: %d %s" % (p, r.returncode, err))
        elif any(burst_values(p, k) != {seed + k} for k in range(BURSTS)):
            failures.append("upgrade %s holds another file's data" % p)

src = os.path.join(work, "a.sdf")
nc = os.path.join(work, "x.nc")
runs = [subprocess.Popen([cli, "--yes", "series", "export", src, "-o", nc], stderr=subprocess.PIPE, text=True)
        for _ in range(2)]
for r in runs:
    if r.wait() != 0:
        failures.append("export: " + r.stderr.read())
if not os.path.exists(nc) or open(nc, "rb").read(4) != b"\x89HDF":
    failures.append("export: no netCDF file")

burst_only = os.path.join(work, "burst_only.sdf")
with open(burst_only, "wb") as f:
    f.write(header(4, 0, 2, 0, 3, [b"Temp", b"Sal"]) + struct.pack("<6h", 1, 2, 3, 4, 5, -32768))
done = subprocess.run([cli, "series", "export", burst_only, "-o", os.path.join(work, "b.nc")],
                      capture_output=True, text=True)
if done.returncode != 0:
    failures.append("burst-only export: %d %s" % (done.returncode, done.stderr))
if leftovers():
    failures.append("left behind: %s" % leftovers())
print("\n".join(failures) or "all sound")
sys.exit(1 if failures else 0)
