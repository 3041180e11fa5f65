"""shoal() against the command line's JSON and its comparison: one core run, the same doubles."""
import json
import os
import subprocess

import numpy as np
import orvane
import pytest

from conftest import DATA

BEACH = f"{DATA}/shoaling/beach.csv"
SURVEY = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "data", "profile.csv")

# The four models; plane bed and surveyed profiles; depth and distance axes; tides.
CASES = [
    dict(tide=0.5, points="2,4,6"),
    dict(tide=0.3, profile=BEACH, points="50,150", obs_depth=400.0),
    dict(x_axis="distance", points="20,40,60", onshore_end=1.0, offshore_end=100.0, obs_depth=90.0),
    dict(tide=0.8, profile=SURVEY, points="100,300", obs_depth=500.0),
]
OPTION = {"tide": "--tide", "profile": "--profile", "points": "--points", "obs_depth": "--obs-depth",
          "x_axis": "--x-axis", "onshore_end": "--onshore-end", "offshore_end": "--offshore-end"}


def cli_json(cli, method, case):
    args = [a for k, v in case.items() for a in (OPTION[k], v)]
    return json.loads(cli("shoal", "--method", method, *args, "--format", "json"))


@pytest.mark.parametrize("case", CASES)
def test_python_cli_and_comparison_give_the_same_doubles(cli, case):
    compared = cli_json(cli, "all", case)
    for entry in compared["models"]:
        method = entry["method"]
        if not entry["applies"]:
            with pytest.raises((orvane.Error, ValueError)):
                orvane.shoal(method, 2.78, 9.0, **case)
            continue
        py = orvane.shoal(method, 2.78, 9.0, **case)
        one = cli_json(cli, method, case)
        assert py["report"] == one["report"] == entry["text"]
        assert py["chart"]["x"].tolist() == one["chart"]["x"]
        assert py["chart"]["y"].tolist() == one["chart"]["y"]
        stored = "H" if method == 0 else "Hrms"
        height = [p[stored] for p in one["points"]]
        assert np.array_equal(py["estimates"][stored], np.array(height, dtype=float), equal_nan=True)
        # The comparison's curve is this run's line of the compared item, bit for bit.
        item = entry["height_item"]
        assert entry["curves"]["height"]["x"] == py["chart"]["x"].tolist()
        assert entry["curves"]["height"]["y"] == py["profile"][item].tolist()
        # A profile or the distance axis gives one distance column, named once.
        assert len(one["units"]) == len(one["points"][0]) == (3 if py["x_axis"] == "distance" else 4)


def test_profile_arrays_equal_the_file_and_errors_are_raised():
    x, d = np.loadtxt(BEACH, delimiter=",", skiprows=1, unpack=True)
    from_file = orvane.shoal("goda", 2.78, 9.0, profile=BEACH, points=[50, 150])
    from_arrays = orvane.shoal("goda", 2.78, 9.0, profile=(x, d), points=[50, 150])
    assert from_file["report"] == from_arrays["report"]
    assert all(np.array_equal(from_file["estimates"][k], from_arrays["estimates"][k], equal_nan=True)
               for k in from_file["estimates"])
    with pytest.raises(orvane.FileError, match="指定したファイルが見つかりません。"):
        orvane.shoal(1, 2.78, 9.0, profile="/nonexistent/beach.csv")
    with pytest.raises(orvane.Error, match="海底勾配を0より大きくして下さい。"):
        orvane.shoal(0, 2.78, 9.0, slope=0.0)
    with pytest.raises(orvane.ConversionError, match="は浮動小数点数ではありません"):
        orvane.shoal(0, 2.78, 9.0, points="2,x")


# A run that computes nothing says why, in Python and on the command line (text and JSON).
@pytest.mark.parametrize("period, tide, height, message", [
    (0.0, 0.0, 2.78, "周期は0より大きくして下さい。"),
    (9.0, -100.0, 2.78, "表示範囲はこの潮位ではすべて陸上です。"),
    (9.0, 0.0, 1e6, "表示範囲の中で計算できた点がありません。"),
])
def test_a_run_that_computes_nothing_is_an_error(period, tide, height, message):
    with pytest.raises(orvane.Error, match=message):
        orvane.shoal(0, height, period, tide=tide)
    program = os.environ.get("ORVANE_CLI")
    if not program:
        pytest.skip("ORVANE_CLI not set")
    for extra in ([], ["--format", "json"]):
        done = subprocess.run([program, "shoal", "--t0", str(period), "--tide", str(tide), "--h0", str(height),
                               *extra], capture_output=True, text=True)
        assert done.returncode == 1 and message in done.stderr
