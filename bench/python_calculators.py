#!/usr/bin/python3
"""orvane.wavenumber on 10^6 depths against a NumPy Newton iteration, and two Python
threads against one thread calling twice; all in one run, best of --repeat wall times.

    PYTHONPATH=build/dev/python /usr/bin/python3 bench/python_calculators.py
"""
import argparse
import os
import threading
import time

import numpy as np
import orvane


def numpy_newton(T, h, g=orvane.GRAVITY):
    s2 = (2 * np.pi / T) ** 2
    k = s2 / g * np.ones_like(h)
    while True:  # the same step and the same stop as the program's, for all at once
        th = np.tanh(k * h)
        delta = (g * k * th - s2) / (g * (th + k * h * (1 - th * th)))
        k = k - delta
        if np.all(np.abs(delta / k) < 1e-5):
            return k


def best(f, repeat):
    times = []
    for _ in range(repeat):
        t = time.perf_counter()
        f()
        times.append(time.perf_counter() - t)
    return min(times)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeat", type=int, default=7)
    parser.add_argument("--size", type=int, default=10**6)
    args = parser.parse_args()
    print(f"cores this process may use: {len(os.sched_getaffinity(0))}; "
          f"load average: {' '.join(f'{x:.1f}' for x in os.getloadavg())}")
    rng = np.random.default_rng(1)
    for label, depths in (("uniform 0.5-100 m", rng.uniform(0.5, 100.0, args.size)),
                          ("uniform 0.1-30 m", rng.uniform(0.1, 30.0, args.size))):
        k = orvane.wavenumber(10.0, depths)
        sample = range(0, args.size, 997)
        assert all(k[i] == orvane.wavenumber(10.0, float(depths[i])) for i in sample)
        assert np.allclose(k, numpy_newton(10.0, depths), rtol=1e-4)
        ours = best(lambda: orvane.wavenumber(10.0, depths), args.repeat)
        one = best(lambda: orvane.wavenumber(10.0, depths, jobs=1), args.repeat)
        theirs = best(lambda: numpy_newton(10.0, depths), args.repeat)
        print(f"wavenumber, T = 10 s, {args.size} depths {label}: orvane {ours * 1e3:.1f} ms "
              f"(jobs=1 {one * 1e3:.1f} ms), NumPy Newton {theirs * 1e3:.1f} ms: "
              f"{theirs / ours:.1f} x")

    depths = rng.uniform(0.5, 100.0, args.size)

    def twice():
        orvane.wavenumber(10.0, depths)
        orvane.wavenumber(10.0, depths)

    def two_threads():
        threads = [threading.Thread(target=orvane.wavenumber, args=(10.0, depths)) for _ in range(2)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()

    sequential, parallel = best(twice, args.repeat), best(two_threads, args.repeat)
    print(f"one thread calling twice {sequential * 1e3:.1f} ms, two threads at once "
          f"{parallel * 1e3:.1f} ms")
    scalar = best(lambda: [orvane.wavenumber(10.0, np.float32(5.0)) for _ in range(10000)], 3)
    print(f"a NumPy scalar in, a float out: {scalar / 10000 * 1e6:.2f} us a call")


if __name__ == "__main__":
    main()
