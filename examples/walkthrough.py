#!/usr/bin/python3
"""A walk through the module, cell by cell; docs/python.md shows these cells and output.

    PYTHONPATH=build/dev/python /usr/bin/python3 examples/walkthrough.py [FIGURE.png]
"""
import os
import resource
import sys
import tempfile
import warnings

import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np
import orvane

np.set_printoptions(precision=4, suppress=True)

# --- 1. Calculators on arrays
print(orvane.__version__)
print(orvane.wavenumber(10.0, 5.0))
print(orvane.wavenumber(np.array([6.0, 8.0, 10.0]), np.array([[2.0], [10.0]])))
wave = orvane.airy(depth=10.0, period=8.0, height=1.5, z=[0.0, 5.0])
print(wave["L"], wave["u"])
print(orvane.rayleigh(1.0, [0.5, 0.1, 0.01]))
print(orvane.bottom_velocity(5.0, 10.0, 3.0, random=True))

# --- 2. Errors carry the program's message
try:
    orvane.wavenumber(0.0, 5.0)
except orvane.CalculationError as e:
    print(type(e).__name__, e)

# --- 2b. Missing and failing elements, scalars
print(orvane.wavenumber(10.0, [2.0, np.nan, None, 5.0]))
with warnings.catch_warnings(record=True) as caught:
    warnings.simplefilter("always")
    print(orvane.wavenumber(10.0, [2.0, 0.0, -1.0]))
print(caught[0].category.__name__, caught[0].message)
print(repr(orvane.wavenumber(10.0, np.float32(5.0))), repr(orvane.wavenumber(10.0, np.array(5.0))))

# --- 3. A shoaling run: Goda's model over a plane beach
run = orvane.shoal("goda", 2.78, 9.0, slope=1 / 50, points=[2, 4, 6], offshore_end=20)
print(run["points"])
for name in ("Hrms", "Hs", "H1/10", "eta", "zeta_rms"):
    print(f"{name:8s}", run["estimates"][name])
print(run["items"])
print("\n".join(run["report"][:8]))

profile = run["profile"]
fig, height_axis = plt.subplots(figsize=(7, 4))
for item in ("Hrms", "Hs", "H1/10"):
    height_axis.plot(profile["depth"], profile[item], label=item)
height_axis.plot(profile["depth"], profile["η"], "--", label="η (set-up)")
height_axis.invert_xaxis()
height_axis.set_xlabel("still-water depth h (m)")
height_axis.set_ylabel("height, set-up (m)")
height_axis.set_title("Goda (1975), H1/3 = 2.78 m, T1/3 = 9 s, slope 1/50")
height_axis.legend()
fig.tight_layout()
fig.savefig(sys.argv[1] if len(sys.argv) > 1 else "shoaling.png", dpi=80)

# --- 4. Series: write, read, pandas
folder = tempfile.mkdtemp()
hours = np.arange(24 * 3)
hs = 1.0 + 0.5 * np.sin(hours / 9.0)
ts = 6.0 + 2.0 * np.sqrt(hs)
tide = 1.2 + 0.9 * np.sin(2 * np.pi * hours / 12.42)
hs[5] = np.nan
orvane.write_series(os.path.join(folder, "wave.sdf"), {"Hs": hs, "Ts": ts, "Tide": tide},
                    units=["m", "s", "m"], coef_a=[0.01, 0.01, 0.001],
                    start="2025-01-01T00:00", interval=3600, memo="three days")
series = orvane.read_series(os.path.join(folder, "wave.sdf"))
print(series, series.names, series.start, series.interval)
print(series.to_pandas().head(6))

# --- 5. The long job: bottom velocity at three depths for every hour
velocity = orvane.velocity_series(series["Hs"], series["Ts"], series["Tide"], msl=1.2,
                                  slope=1 / 50, points=[6, 4, 2], umax=True, xmax=True)
for name, values in velocity.items():
    print(f"{name:18s}", values[:6])
print(orvane.height_series([0.5, 0.8], [9.0, 10.0], [0.0, 0.3], mean_depth=8.0))

# --- 6. pandas and xarray in, the same kind out
frame = series.to_pandas()
velocity = orvane.velocity_series(frame["Hs"], frame["Ts"], frame["Tide"], msl=1.2,
                                  slope=1 / 50, points=[6, 2], xmax=True)
print(velocity.head(3))
print(velocity.attrs)
data = series.to_xarray()
print(orvane.height_series(0.3 * data["Hs"], data["Ts"], data["Tide"], mean_depth=8.0)[:3])

import xarray as xr
depth = xr.DataArray([[2.0, 5.0], [10.0, 20.0]], dims=("y", "x"),
                     coords={"y": [0.0, 50.0], "x": [0.0, 100.0]})
print(orvane.wavenumber(10.0, depth))

# --- 7. 10^8 depths, chunk by chunk (dask), in bounded memory
import dask
import dask.array as da
cells = da.random.RandomState(1).uniform(0.5, 100.0, size=10**8, chunks=2 * 10**6)
k = orvane.wavenumber(10.0, xr.DataArray(cells, dims="cell"))
print(k.data.npartitions, "chunks,", k.nbytes // 10**6, "MB if held whole")
with dask.config.set(scheduler="threads"):
    print(f"{float(k.mean()):.6f} {float(k.max()):.6f}")
print("peak resident memory of this process:",
      resource.getrusage(resource.RUSAGE_SELF).ru_maxrss // 1024, "MB")
