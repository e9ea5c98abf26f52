#!/usr/bin/env python3
"""The suite's last test: fails when a process that one of this build's tests started is
still running. Every test runs with NG_TEST_RUN=<build dir> in its environment, and its
children inherit it; the ones found are listed and killed."""
import os
import signal
import sys
import time

MARK = ("NG_TEST_RUN=" + sys.argv[1]).encode()


def leftovers():
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as f:
                env = f.read().split(b"\0")
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode(errors="replace").strip()
        except OSError:
            continue
        if MARK in env:
            found.append((int(entry), cmd))
    return found


# A process that was told to end a moment ago may still be on its way out.
deadline = time.monotonic() + 5
while leftovers() and time.monotonic() < deadline:
    time.sleep(0.1)
left = leftovers()
for pid, cmd in left:
    print(f"left running by a test: {pid} {cmd}")
    try:
        os.kill(pid, signal.SIGKILL)
    except OSError:
        pass
sys.exit(1 if left else 0)
