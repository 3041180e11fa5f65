"""The calculators against the command line: the same core, the same digits."""
import pickle
import re

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
