"""The calculators against the command line: the same core, the same digits."""
import os
import pickle
import re
import subprocess
import sys

import numpy as np
import orvane
import pytest

from conftest import DATA


def test_version_constants_and_error_types():
    assert re.fullmatch(r"\d+\.\d+(\.\d+)?", orvane.__version__)
    assert (orvane.GRAVITY, orvane.PERIOD_RATIO) == (9.80665, 0.93)
    with pytest.raises(orvane.CalculationError, match="^0 による浮動小数点数除算$") as e:
        orvane.wavenumber(0.0, 10.0)
    assert isinstance(e.value, orvane.Error) and isinstance(e.value, ArithmeticError)
    with pytest.raises(orvane.CalculationError, match="不正な浮動小数点数演算命令"):
        orvane.bottom_velocity(5.0, 10.0, 3.0, slope=-0.01)
    with pytest.raises(orvane.Error, match="上側確率には0より大きく1以下の値を入力して下さい。"):
        orvane.rayleigh(1.0, -0.5)
    # An error raised on a worker comes back through pickle with its class and message.
    again = pickle.loads(pickle.dumps(e.value))
    assert type(again) is orvane.CalculationError and str(again) == str(e.value)
    assert pickle.loads(pickle.dumps(orvane.velocity_series)) is orvane.velocity_series


def test_broadcasting_gives_the_scalar_values():
    periods = np.array([[6.0], [10.0]])
    depths = np.array([2.0, 5.0, 20.0])
    k = orvane.wavenumber(periods, depths)
    assert k.shape == (2, 3)
    assert all(k[i, j] == orvane.wavenumber(float(periods[i, 0]), float(depths[j]))
               for i in range(2) for j in range(3))
    wave = orvane.airy(depths, 8.0, 1.0, z=[0.0, 1.0, 2.0], gravity=9.8)
    assert wave["u"].shape == (3,) and wave["Ks"][2] == orvane.airy(20.0, 8.0, 1.0, 2.0, gravity=9.8)["Ks"]


def test_calculators_print_as_the_command_line(cli):
    r = orvane.rayleigh(2.0, 0.1)
    assert cli("rayleigh", "--reference", 2, "--probability", 0.1) == (
        f"上側確率pの振幅Ap = {r['Ap']:.6f}\n>Apの平均振幅 = {r['mean']:.6f}\n")
    v = orvane.bottom_velocity(5.0, 10.0, 3.0, random=True)
    out = cli("bottom-velocity", "--method", "random", "--depth", 5, "--period", 10, "--height", 3)
    assert f"有義流速振幅Us ={v['Us']:.3f}m/s" in out and f"Urms ={v['Urms']:.3f}m/s" in out
    assert orvane.random_wave_velocity(10.0 / 0.93, 3.0 / 1.416, 5.0)["Us"] == v["Us"]
    single = orvane.bottom_velocity(np.array([5.0]), 10.0, 3.0, 0.0)
    assert single["broken"][0] in (0.0, 1.0) and single["Umax"][0] > 0


def test_missing_and_failing_elements_give_nan_and_scalars_stay_scalars():
    depths = np.array([[2.0, np.nan], [0.0, 5.0]])
    with pytest.warns(orvane.CalculationWarning, match=r"1 個.*\(1, 0\).*0 による浮動小数点数除算"):
        k = orvane.wavenumber(10.0, depths)
    assert k[0, 0] == orvane.wavenumber(10.0, 2.0) and k[1, 1] == orvane.wavenumber(10.0, 5.0)
    assert np.isnan(k[0, 1]) and np.isnan(k[1, 0])
    assert np.isnan(orvane.airy([None, 5.0], 8.0, 1.0)["u"][0])
    assert np.isnan(orvane.rayleigh([1.0, np.nan], 0.1)["Ap"][1])
    assert np.isnan(orvane.bottom_velocity(5.0, [10.0, np.nan], 3.0, random=True)["Us"][1])
    assert np.isnan(orvane.wavenumber(10.0, None))
    # Large arrays go over threads; every element is still the scalar call's.
    periods = np.linspace(3.0, 20.0, 40)[:, None]
    many = orvane.wavenumber(periods, np.geomspace(0.05, 500.0, 5000), jobs=3)
    assert all(many[i, j] == orvane.wavenumber(float(periods[i, 0]), float(np.geomspace(0.05, 500.0, 5000)[j]))
               for i in range(0, 40, 7) for j in range(0, 5000, 331))
    for x in (5.0, np.float32(5.0), np.int64(5), np.array(5.0)):
        assert type(orvane.wavenumber(10.0, x)) is float
        assert type(orvane.airy(x, 8.0, 1.0)["L"]) is float


def test_labelled_and_lazy_arrays_keep_their_coordinates():
    xr = pytest.importorskip("xarray")
    da = pytest.importorskip("dask.array")
    import pandas as pd
    depth = xr.DataArray([2.0, 5.0, np.nan], dims="x", coords={"x": [10, 20, 30]})
    k = orvane.wavenumber(10.0, depth)
    assert list(k.x) == [10, 20, 30] and k.attrs["units"] == "rad/m" and k[1] == orvane.wavenumber(10.0, 5.0)
    assert orvane.wavenumber(10.0, xr.DataArray(5.0)).shape == ()
    wave = orvane.airy(depth, 8.0, 1.0)
    assert isinstance(wave, xr.Dataset) and wave["u"].attrs["units"] == "m/s"
    lazy = xr.DataArray(da.linspace(1.0, 50.0, 1000, chunks=100), dims="x")
    k = orvane.wavenumber(10.0, lazy)
    assert k.chunks == ((100,) * 10,) and float(k[-1]) == orvane.wavenumber(10.0, 50.0)
    series = pd.Series([2.0, 5.0], index=pd.date_range("2025-01-01", periods=2, freq="h"))
    assert orvane.rayleigh(series, 0.1).index.equals(series.index)


def test_wrong_arguments_raise_errors_that_say_what_is_wrong(tmp_path):
    # An empty Series once read memory that was never set; in a child, so a crash shows.
    code = ("import orvane, pickle\ns = orvane.Series.__new__(orvane.Series)\nprint(repr(s))\n"
            "for f in (len, lambda s: s.to_pandas(), pickle.dumps, lambda s: orvane.write_series('x.sdf', s)):\n"
            "    try: f(s)\n    except orvane.Error as e: print(e)\n")
    done = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    assert done.stdout.count("中身のない Series です") == 4 and not os.listdir(tmp_path)
    with pytest.raises(orvane.ConversionError, match=r"形が揃いません \(period \(3,\), depth \(2,\)"):
        orvane.wavenumber(np.ones(3), np.ones(2))
    with pytest.raises(orvane.ArgumentTypeError, match="units"):
        orvane.write_series(tmp_path / "a.sdf", {"Hs": [1.0]}, units="m")
    with pytest.raises(orvane.ConversionError, match="NaT"):
        orvane.write_series(tmp_path / "a.sdf", {"Hs": [1.0]}, start=np.datetime64("NaT"))
    with pytest.raises(orvane.FileError, match="フォルダです"):
        orvane.read_series(str(tmp_path))
    assert len(orvane.read_series(os.fsencode(f"{DATA}/series/v4_two_channels.sdf")).names) == 2
    with pytest.raises(orvane.ArgumentTypeError, match="points"):
        orvane.shoal(0, 2.78, 9.0, points=3.0)
    assert isinstance(orvane.ArgumentTypeError(), TypeError)
