import os
import subprocess

import pytest

DATA = os.path.join(os.path.dirname(__file__), "..", "data")


@pytest.fixture
def cli():
    """Runs orvane-cli (ORVANE_CLI) and returns its stdout; fails on a non-zero exit."""
    program = os.environ.get("ORVANE_CLI")
    if not program:
        pytest.skip("ORVANE_CLI not set")

    def run(*args):
        done = subprocess.run([program, "--yes", *map(str, args)], capture_output=True, text=True)
        assert done.returncode == 0, done.stderr
        return done.stdout

    return run
