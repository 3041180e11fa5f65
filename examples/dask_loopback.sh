#!/bin/sh
# The sites on a Dask cluster deployed as on real machines, but on this one alone: a
# scheduler and WORKERS workers (one thread each) started as separate processes that
# listen on the loopback address only, then examples/dask_sites.py given the scheduler's
# address. The processes are stopped at the end; their logs stay in a temporary folder.
#
#   PYTHONPATH=build/release/python examples/dask_loopback.sh [SITES [WORKERS]]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
sites=${1:-200}
workers=${2:-2}
logs=$(mktemp -d)
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
address=tcp://127.0.0.1:$port
# The workers unpickle the example's functions, so they import it too.
export PYTHONPATH="$here${PYTHONPATH:+:$PYTHONPATH}"

/usr/bin/dask scheduler --host 127.0.0.1 --port "$port" --dashboard-address 127.0.0.1:0 \
    >"$logs/scheduler.log" 2>&1 &
scheduler=$!
pids=""
# The workers first, so that each closes its own worker process before the scheduler goes.
stop() {
    kill $pids 2>/dev/null || true
    wait $pids 2>/dev/null || true
    kill "$scheduler" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap stop EXIT INT TERM
for i in $(seq "$workers"); do
    /usr/bin/dask worker "$address" --name "worker$i" --nthreads 1 --host 127.0.0.1 \
        --dashboard-address 127.0.0.1:0 >"$logs/worker$i.log" 2>&1 &
    pids="$pids $!"
done
echo "scheduler $address (process $scheduler), $workers workers (processes$pids); logs in $logs"
status=0
/usr/bin/python3 "$here/dask_sites.py" --scheduler "$address" --workers "$workers" --sites "$sites" || status=$?
exit $status
