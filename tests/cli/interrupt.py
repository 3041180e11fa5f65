"""A long wave-velocity-series on a terminal, interrupted after its first progress line.

Usage: interrupt.py CLI SYNTHETIC_YEAR WORKDIR SIGNAL(INT|TERM)
Checks the exit code, that neither the output nor a temporary is left, that the progress
line was cleared before the message, and that the run stopped soon (a generous bound:
this is not a benchmark).
"""
import os
import pty
import select
import signal
import subprocess
import sys
import time

cli, synth, work, name = sys.argv[1:5]
sig = getattr(signal, "SIG" + name)
os.makedirs(work, exist_ok=True)
if not os.path.exists(os.path.join(work, "tide.tsd")):
    subprocess.run([sys.executable, synth, "--minutes", "10", work], check=True)
out = os.path.join(work, "velocity_%s.tsd" % name)
if os.path.exists(out):
    os.remove(out)

pid, fd = pty.fork()
if pid == 0:
    os.execv(cli, [cli, "wave-velocity-series", "--wave-file", os.path.join(work, "wave.tsd"),
                   "--tide-file", os.path.join(work, "tide.tsd"), "--msl", "1.2", "--slope", "0.02",
                   "--points", "6,4,2", "--umax", "--xmax", "--jobs", "1", "-o", out])

text = b""
deadline = time.monotonic() + 60
while b"%" not in text:
    if time.monotonic() > deadline:
        sys.exit("no progress output within 60 s")
    if select.select([fd], [], [], 1)[0]:
        text += os.read(fd, 4096)
os.kill(pid, sig)
sent = time.monotonic()
while True:
    try:
        chunk = os.read(fd, 4096)
    except OSError:
        break
    if not chunk:
        break
    text += chunk
_, status = os.waitpid(pid, 0)
took = time.monotonic() - sent
code = os.waitstatus_to_exitcode(status)
tail = text.decode("utf-8", "replace").replace("\r\n", "\n")
left = [f for f in os.listdir(work) if f not in ("wave.tsd", "tide.tsd")]
print("exit", code, "stopped in %.2f s" % took, "left", left)
ok = (code == 128 + sig and not left and took < 10
      and tail.endswith("\r\x1b[K中断しました。出力ファイルは作成されていません。\n"))
if not ok:
    print(repr(tail[-300:]))
sys.exit(0 if ok else 1)
