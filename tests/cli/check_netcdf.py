# Opens a series exported as netCDF with xarray and checks times, values and attributes
# against the two-channel fixture (burst 1: Hs 1.23, missing, 1.2 m every 0.5 s).
import sys

import numpy as np
import xarray as xr

ds = xr.open_dataset(sys.argv[1])
t = ds["time"].values
# Local 12:00 at UTC+09:00 is 03:00 UTC, the instant xarray gives.
assert str(t[0]).startswith("2003-08-14T03:00:00"), t[0]
assert (t[1] - t[0]) == np.timedelta64(500, "ms"), t
hs = ds["Hs"]
assert hs.attrs["units"] == "m" and hs.attrs["long_name"] == "Hs", hs.attrs
assert np.isclose(hs.values[0], 1.23, rtol=1e-6) and np.isnan(hs.values[1]), hs.values
assert np.isclose(ds["Tide"].values[2], 0.52, rtol=1e-6)
assert ds.attrs["title"] == "観測点A" and ds.attrs["sampling_interval"] == "500 msec", ds.attrs
print("netcdf ok")
