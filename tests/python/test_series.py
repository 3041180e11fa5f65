"""Series files and the long jobs against the files the command line writes."""
import os
import pickle
import signal
import subprocess
import sys
import time

import numpy as np
import orvane
import pytest

from conftest import DATA

ROOT = os.path.join(os.path.dirname(__file__), "..", "..")


def counts(values, a):
    """The counts a file stores for these values (missing and out of range as None)."""
    n = np.round(np.asarray(values) / a)
    return [None if not (abs(c) <= 32767) else int(c) for c in n]


def test_write_read_round_trip_and_conversions(tmp_path):
    hs = np.array([1.25, np.nan, 3.5, 0.01])
    for name in ("a.sdf", "a.tsd"):
        path = tmp_path / name
        orvane.write_series(path, {"Hs": hs, "Tide level long name": [0.1, 0.2, -0.3, 0.0]},
                            units=["m", "m"], coef_a=[0.01, 0.001], start="2025-01-01T06:00",
                            interval=1800, memo="test")
        s = orvane.read_series(path)
        assert (s.kind, s.memo, s.interval, s.names[0], s.units) == (name[-3:].upper(), "test", 1800.0, "Hs", ["m", "m"])
        assert len(s.names[1].encode()) <= 16
        assert np.allclose(s["Hs"], hs, equal_nan=True, rtol=1e-6)
        assert s.time[1] == np.datetime64("2025-01-01T06:30")
        frame = s.to_pandas()
        assert frame.index[0] == np.datetime64("2025-01-01T06:00", "us") and np.isnan(frame["Hs"].iloc[1])
        assert s.to_xarray()["Hs"].attrs["units"] == "m"
        assert pickle.loads(pickle.dumps(s)).names == s.names
    before = (tmp_path / "a.sdf").read_bytes()
    with pytest.raises(orvane.ConversionError, match="16ビット"):
        orvane.write_series(tmp_path / "a.sdf", {"Hs": [400.0]}, coef_a=[0.01])
    assert (tmp_path / "a.sdf").read_bytes() == before


def test_files_of_any_version_are_read_without_being_changed():
    for name in ("v4_two_channels.sdf", "v4_two_channels.tsd", "v1_two_channels.sdf", "v2_two_channels.sdf"):
        path = os.path.join(DATA, "series", name)
        before = open(path, "rb").read()
        s = orvane.read_series(path)
        assert len(s.names) == 2 and len(s) == len(s.time) > 0, name
        assert open(path, "rb").read() == before
    with pytest.raises(orvane.FileError):
        orvane.read_series(os.path.join(DATA, "series", "missing.sdf"))


@pytest.fixture(scope="module")
def year(tmp_path_factory):
    folder = tmp_path_factory.mktemp("year")
    subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "synthetic-year.py"), str(folder)], check=True)
    return folder


def test_velocity_series_equals_the_command_line_counts(cli, year):
    out = year / "velocity.sdf"
    cli("wave-velocity-series", "--wave-file", year / "wave.tsd", "--tide-file", year / "tide.tsd",
        "--msl", 1.2, "--slope", 0.02, "--points", "6,4,2", "--umax", "--xmax", "--jobs", 2, "-o", out)
    wave, tide = orvane.read_series(year / "wave.tsd"), orvane.read_series(year / "tide.tsd")
    # A channel of millimetre counts in metres: the program keeps the formula of the count
    # as millimetres, which gives these floats to the last bit.
    level = (tide["Tide"] - tide.coef_b[0]) / tide.coef_a[0] / 1000.0
    mine = orvane.velocity_series(wave["Hs"], wave["Ts"], level, msl=1.2, slope=0.02,
                                  points=[6, 4, 2], umax=True, xmax=True, jobs=2)
    theirs = orvane.read_series(out)
    assert list(mine) == theirs.names
    for name, a in zip(theirs.names, theirs.coef_a):
        assert counts(mine[name], a) == counts(theirs[name], a), name
    single = orvane.velocity_series(wave["Hs"][:200], wave["Ts"][:200], level[:200], msl=1.2,
                                    slope=0.02, points=[6, 4, 2], jobs=1)
    assert all(np.array_equal(single[k], mine[k][:200], equal_nan=True) for k in single)


def test_readme_samples_give_the_same_numbers_as_the_command_line(cli, tmp_path):
    data = os.path.join(ROOT, "examples", "data")
    out = tmp_path / "velocity.tsd"
    cli("wave-velocity-series", "--wave-file", os.path.join(data, "offshore.tsd"),
              "--tide-file", os.path.join(data, "tide.tsd"), "--profile", os.path.join(data, "profile.csv"),
              "--points", "100,300", "--offshore-end", 1000, "-o", out)
    wave, tide = orvane.read_series(os.path.join(data, "offshore.tsd")), orvane.read_series(os.path.join(data, "tide.tsd"))
    mine = orvane.velocity_series(wave["Hs"], wave["Ts"], tide[tide.names[0]], method="goda",
                                  profile=os.path.join(data, "profile.csv"), points=[100, 300],
                                  offshore_end=1000)
    theirs = orvane.read_series(out)
    for name, a in zip(theirs.names, theirs.coef_a):
        assert counts(mine[name], a) == counts(theirs[name], a), name


def test_long_calls_stop_on_ctrl_c():
    code = ("import numpy as np, orvane, sys\n"
            "n = 400000\n"
            "print('start', flush=True)\n"
            "orvane.velocity_series(np.full(n, 2.0), np.full(n, 8.0), np.zeros(n), slope=0.02,"
            " points=[4, 2], jobs=1)\n")
    p = subprocess.Popen([sys.executable, "-c", code], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                         text=True)
    assert p.stdout.readline() == "start\n"
    time.sleep(1)
    p.send_signal(signal.SIGINT)
    sent = time.monotonic()
    _, err = p.communicate(timeout=60)
    assert p.returncode != 0 and "KeyboardInterrupt" in err
    assert time.monotonic() - sent < 10


def test_height_series_equals_the_command_line_counts(cli, tmp_path):
    meter = tmp_path / "meter.tsd"
    orvane.write_series(meter, {"Tide": [0.5, -0.2, np.nan, 1.0], "Us": [0.4, 0.8, 0.5, 1.2],
                                "Tp": [8.0, 10.0, 9.0, 12.0]},
                        units=["m", "m/s", "s"], coef_a=[0.001, 0.001, 0.01])
    cli("wave-height-series", "--input", meter, "--mean-depth", 8, "--dh", 0.3, "-o", tmp_path / "h.tsd")
    s = orvane.read_series(meter)
    heights = orvane.height_series(s["Us"], s["Tp"], s["Tide"], mean_depth=8, dh=0.3, jobs=2)
    assert counts(heights, 0.001) == counts(orvane.read_series(tmp_path / "h.tsd")["Hs"], 0.001)
    with pytest.raises(orvane.CalculationError):
        orvane.height_series([0.5], [0.0], [0.0])


def test_dask_example_equals_the_sequential_call():
    pytest.importorskip("dask.distributed")
    examples = os.path.join(ROOT, "examples")
    sys.path.insert(0, examples)
    # The workers import the example's functions too.
    os.environ["PYTHONPATH"] = os.pathsep.join(filter(None, [examples, os.environ.get("PYTHONPATH")]))
    import dask_sites
    from dask.distributed import Client, LocalCluster

    # Every made-up site is valid whatever the count (the 24th once had its points off the beach).
    assert all(max(s["points"]) < s["profile"][0][-1] for s in dask_sites.make_sites(500, hours=1))
    sites = dask_sites.make_sites(4, hours=24 * 5)
    broken = dict(sites[1], name="broken", points=[5000.0])
    with LocalCluster(n_workers=2, threads_per_worker=1, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        spread, failures = dask_sites.run_on_cluster(client, sites + [broken])
    assert list(failures) == ["broken"] and "推定場所は表示範囲の中に" in failures["broken"]
    alone, none = dask_sites.run_sequentially(sites)
    assert list(spread) == list(alone) == [s["name"] for s in sites] and not none
    for name, a in spread.items():
        assert list(a) == list(alone[name])
        assert all(np.array_equal(a[k], alone[name][k], equal_nan=True) for k in a)


def test_times_stay_local_to_the_millisecond_and_bursts_reach_python_and_xarray(cli, tmp_path, monkeypatch):
    import time
    monkeypatch.setenv("TZ", "Asia/Tokyo")
    time.tzset()
    try:
        pd = pytest.importorskip("pandas")
        # A zone is converted to this machine's clock at that instant; milliseconds stay.
        for start in ("2024-01-01T00:00:00.250+09:00", pd.Timestamp("2023-12-31T15:00:00.250", tz="UTC"),
                      "2024-01-01T00:00:00.250"):
            orvane.write_series(tmp_path / "z.sdf", {"Hs": [1.0, 2.0]}, start=start, interval=0.5)
            assert orvane.read_series(tmp_path / "z.sdf").start == np.datetime64("2024-01-01T00:00:00.250"), start
        with pytest.raises(orvane.Error, match="SDF"):
            orvane.write_series(tmp_path / "z.tsd", {"Hs": [1.0, 2.0]}, start="2024-01-01T00:00:00.250")

        # Three bursts with a burst channel, written as the CSV export lays them out.
        rows = ["time,burst,Hs(m),Level(m) [A=0.001 B=-7.25],WTemp(℃) [burst A=0.01 B=1.5]"]
        for k in range(3):
            for s in range(4):
                level = "" if (k, s) == (1, 2) else f"{-7.25 + 0.001 * (k * 4 + s - 30000):.3f}"
                rows.append(f"2024-01-01T{k:02d}:00:0{s},{k + 1},{0.1 * (k + s):.1f},{level},{20.5 + k}")
        (tmp_path / "b.csv").write_text("\n".join(rows) + "\n", encoding="utf-8")
        cli("series", "import", tmp_path / "b.csv", "-o", tmp_path / "b.sdf")
        s = orvane.read_series(tmp_path / "b.sdf", burst=1)
        assert s.burst_names == ["WTemp"] and s.burst_units == ["℃"]
        assert np.allclose(s.burst_data["WTemp"], [20.5, 21.5, 22.5])
        assert pickle.loads(pickle.dumps(s)).burst_names == ["WTemp"]

        cli("series", "export", tmp_path / "b.sdf", "-o", tmp_path / "b.nc")
        xr = pytest.importorskip("xarray")
        ds = xr.open_dataset(tmp_path / "b.nc")
        assert "burst_time" in ds.coords and ds["WTemp"].dims == ("burst_time",)
        # 00:00 in Tokyo is 15:00 UTC the day before.
        assert ds["time"].values[0] == np.datetime64("2023-12-31T15:00:00")
        assert ds["burst_time"].values[2] == np.datetime64("2023-12-31T17:00:00")
        level = ds["Level"].values.reshape(3, 4)
        assert counts(level[1] + 7.25, 0.001) == counts(s["Level"] + 7.25, 0.001)
        assert ds["WTemp"].attrs["units"] == "degC" and ds["Hs"].attrs["standard_name"].endswith("significant_height")
    finally:
        monkeypatch.undo()
        time.tzset()


def test_labelled_series_give_the_same_kind_on_the_same_time():
    pd = pytest.importorskip("pandas")
    xr = pytest.importorskip("xarray")
    time = pd.date_range("2025-01-01", periods=6, freq="h", name="time")
    hs = pd.Series([1.0, 1.2, np.nan, 1.5, 1.4, 1.3], index=time)
    ts, tide = 5.0 + 2.0 * hs, pd.Series(np.linspace(0.0, 1.0, 6), index=time)
    plain = orvane.velocity_series(hs.values, ts.values, tide.values, slope=0.02, points=[6, 4], xmax=True)
    frame = orvane.velocity_series(hs, ts, tide, slope=0.02, points=[6, 4], xmax=True)
    assert frame.index.equals(time) and list(frame) == list(plain)
    assert frame.attrs["units"] == {"Urms(6m)": "m/s", "Urms(4m)": "m/s", "depth of Vel Max": "m"}
    assert all(np.array_equal(frame[k], plain[k], equal_nan=True) for k in plain)
    ds = orvane.velocity_series(hs.to_xarray(), ts.to_xarray(), tide.to_xarray(), slope=0.02, points=[6, 4])
    assert (ds.time.values == time.values).all() and ds["Urms(4m)"].attrs["units"] == "m/s"
    heights = orvane.height_series(hs.to_xarray() * 0.3, 9.0, tide.to_xarray(), mean_depth=8.0)
    assert heights.name == "Hs" and heights.attrs["units"] == "m" and (heights.time == ds.time).all()
    with pytest.raises(orvane.ConversionError, match="時刻"):
        orvane.velocity_series(hs, ts, tide.shift(1, freq="h"), slope=0.02)
