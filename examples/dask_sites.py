#!/usr/bin/python3
"""Bottom-velocity series of many coastal sites, spread over a Dask cluster.

Each site has its own bed profile and its own offshore wave and tide series; one task
computes one site with orvane.velocity_series. Without --scheduler the script starts a
LocalCluster on this machine; with --scheduler tcp://HOST:8786 it uses a running
cluster whose workers can import orvane.

    /usr/bin/python3 examples/dask_sites.py --sites 8
    /usr/bin/python3 examples/dask_sites.py --scheduler tcp://10.0.0.5:8786 --sites 200

The sites here are made up (a month of hourly storms and tides on beaches of
different slopes); replace make_sites() with your own data, for instance series read
with orvane.read_series and profiles read with numpy.loadtxt.
"""
import argparse
import sys

import numpy as np
import orvane


def make_sites(count, hours=24 * 30):
    """Made-up sites: dicts of a name, a profile (distance, depth) and three series."""
    sites = []
    j = np.arange(hours)
    for s in range(count):
        slope = 0.01 + 0.004 * s
        distance = np.linspace(0.0, 20.0 / slope, 41)
        depth = distance * slope
        storm = np.maximum(0.0, np.sin(2 * np.pi * j / 24.0 / (7.0 + s))) ** 4
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
    """Every site as one task on the cluster; the results in site order."""
    futures = client.map(velocity_of_site, sites, key=[s["name"] for s in sites])
    return client.gather(futures)


def run_sequentially(sites):
    return [velocity_of_site(s) for s in sites]


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--scheduler", help="address of a running scheduler (default: a LocalCluster)")
    parser.add_argument("--sites", type=int, default=8, help="number of made-up sites")
    parser.add_argument("--workers", type=int, default=2, help="LocalCluster workers")
    args = parser.parse_args(argv)

    from dask.distributed import Client, LocalCluster
    sites = make_sites(args.sites)
    if args.scheduler:
        client = Client(args.scheduler)
        cluster = None
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, dashboard_address=None)
        client = Client(cluster)
    try:
        results = run_on_cluster(client, sites)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    for site, channels in zip(sites, results):
        peaks = ", ".join(f"{name} {np.nanmax(v):.3f}" for name, v in channels.items())
        print(f"{site['name']}: {peaks}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
