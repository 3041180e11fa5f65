"""Measured heights: compare() and fit_thornton_guza() give the command line's numbers."""
import json

import numpy as np

import orvane

BEACH = dict(slope=0.02, obs_depth=12, offshore_end=12)
ARGS = ["--slope", "0.02", "--obs-depth", "12", "--offshore-end", "12"]


def gauges(tmp_path, name, h0, t0, tide, depths):
    """Hs read off the program's own curve with gamma 0.55, B 1.2, rounded to cm, as a file."""
    r = orvane.compare(h0, t0, tide=tide, gamma_tg=0.55, b_tg=1.2, **BEACH)
    curve = r["models"][2]["curves"]["height"]
    order = np.argsort(curve["x"])
    hs = np.round(np.interp(np.add(depths, tide), curve["x"][order], curve["y"][order]), 2)
    path = tmp_path / name
    path.write_text("水深,Hs\n" + "".join(f"{d},{h}\n" for d, h in zip(depths, hs)), encoding="cp932")
    return str(path)


def test_scores_and_fit_equal_the_command_line(tmp_path, cli):
    one = gauges(tmp_path, "s1.csv", 2.78, 9, 0.3, [10, 8, 6, 5, 4, 3, 2, 1.2])
    two = gauges(tmp_path, "s2.csv", 1.8, 7, -0.4, [9, 7, 5, 3.5, 2.5, 1.5, 1])

    r = orvane.compare(2.78, 9, tide=0.3, observed=one, gamma_tg=0.55, b_tg=1.2, **BEACH)
    text = json.loads(cli("shoal", "--method", "all", "--tide", "0.3", "--observed", one, "--format", "json",
                          "--gamma-tg", "0.55", "--b-tg", "1.2", *ARGS))
    assert [s["rmse"] for s in r["skill"]] == [s["score"]["rmse"] for s in text["observed"]["skill"]]
    assert r["skill"][2]["rmse"] < 0.01 and r["best"] == "Thornton-Guza(1983)"

    cases = [dict(height=2.78, period=9, tide=0.3, observed=one), dict(height=1.8, period=7, tide=-0.4, observed=two)]
    fit = orvane.fit_thornton_guza(cases, **BEACH)
    both = json.loads(cli("shoal", "--fit-tg", "--observed", one, "--observed", two, "--h0", "2.78,1.8",
                          "--t0", "9,7", "--tide", "0.3,-0.4", "--format", "json", *ARGS))
    assert (fit["gamma"], fit["b"], fit["model_runs"]) == (both["gamma"], both["b"], both["model_runs"])
    # Centimetre rounding alone moves the best fit of these 15 gauges by about 2 %.
    assert abs(fit["gamma"] / 0.55 - 1) < 0.03 and abs(fit["b"] / 1.2 - 1) < 0.03
    assert fit["after"]["rmse"] < 0.01 < fit["before"]["rmse"]
