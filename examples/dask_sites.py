#!/usr/bin/python3
"""Bottom-velocity series of many coastal sites, spread over a Dask cluster.

Each site has its own bed profile and its own offshore wave and tide series; one task
computes one site with orvane.velocity_series. Without --scheduler the script starts a
LocalCluster on this machine; with --scheduler tcp://HOST:8786 it uses a running
cluster whose workers can import orvane. A site that fails is reported by name with
the program's message on stderr (and the exit status is 1); the others complete.

    /usr/bin/python3 examples/dask_sites.py --sites 8
    /usr/bin/python3 examples/dask_sites.py --scheduler tcp://10.0.0.5:8786 --sites 200

The sites here are made up (a month of hourly storms and tides on beaches of slopes
between 1/100 and 1/20, every one at least 400 m long); replace make_sites() with your
own data, for instance series read with orvane.read_series and profiles read with
numpy.loadtxt.
"""
import argparse
import sys
import time

import numpy as np
import orvane


def make_sites(count, hours=24 * 30):
    """Made-up sites: dicts of a name, a profile (distance, depth) and three series."""
    sites = []
    j = np.arange(hours)
    for s in range(count):
        # Slopes spread over 1/100 .. 1/20 whatever the count: the beach (20 m deep at its
        # offshore end) stays longer than the farthest point.
        slope = 0.01 + 0.04 * ((s * 0.6180339887) % 1.0)
        distance = np.linspace(0.0, 20.0 / slope, 41)
        depth = distance * slope
        storm = np.maximum(0.0, np.sin(2 * np.pi * j / 24.0 / (7.0 + s % 17))) ** 4
        hs = 0.6 + 2.5 * storm + 0.2 * np.sin(j * 0.71 + s)
        ts = 5.0 + 2.2 * np.sqrt(hs)
        tide = 1.2 + 0.9 * np.sin(2 * np.pi * j / 12.42)
        sites.append({"name": f"site{s:03d}", "profile": (distance, depth),
                      "hs": hs, "ts": ts, "tide": tide,
                      "points": [200.0, 100.0, 50.0]})
    return sites


def velocity_of_site(site, jobs=1):
    """One task: the velocity channels of one site (dict name -> array)."""
    return orvane.velocity_series(site["hs"], site["ts"], site["tide"], method="goda",
                                  profile=site["profile"], points=site["points"],
                                  msl=1.2, umax=True, xmax=True, jobs=jobs)


def run_on_cluster(client, sites):
    """Every site as one task. Returns (results, failures): site name -> channels for the
    sites that completed, site name -> the error's message for those that did not."""
    from dask.distributed import wait
    futures = client.map(velocity_of_site, sites, key=[s["name"] for s in sites])
    wait(futures)
    results, failures = {}, {}
    for site, future in zip(sites, futures):
        if future.status == "finished":
            results[site["name"]] = future.result()
        else:
            failures[site["name"]] = str(future.exception())
    return results, failures


def run_sequentially(sites):
    results, failures = {}, {}
    for site in sites:
        try:
            results[site["name"]] = velocity_of_site(site)
        except orvane.Error as e:
            failures[site["name"]] = str(e)
    return results, failures


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--scheduler", help="address of a running scheduler (default: a LocalCluster)")
    parser.add_argument("--sites", type=int, default=8, help="number of made-up sites")
    parser.add_argument("--workers", type=int,
                        help="LocalCluster workers (default 2); with --scheduler, wait for that many")
    args = parser.parse_args(argv)

    from dask.distributed import Client, LocalCluster
    sites = make_sites(args.sites)
    if args.scheduler:
        client = Client(args.scheduler)
        cluster = None
        if args.workers:
            client.wait_for_workers(args.workers, timeout=120)
    else:
        cluster = LocalCluster(n_workers=args.workers or 2, threads_per_worker=1, dashboard_address=None)
        client = Client(cluster)
    try:
        workers = len(client.scheduler_info()["workers"])
        start = time.perf_counter()
        results, failures = run_on_cluster(client, sites)
        seconds = time.perf_counter() - start
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    for site in sites:
        name = site["name"]
        if name in results:
            peaks = ", ".join(f"{c} {np.nanmax(v):.3f}" for c, v in results[name].items())
            print(f"{name}: {peaks}")
        else:
            print(f"{name}: 失敗: {failures[name]}", file=sys.stderr)
    print(f"{len(results)} of {len(sites)} sites in {seconds:.1f} s on {workers} workers: "
          f"{len(sites) / seconds:.1f} sites/s")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
