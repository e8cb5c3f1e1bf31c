#!/usr/bin/env python3
"""Where a download's time goes on the shaped link, sampled from outside the tool.

    link_trace.py START_EPOCH_SECONDS LINK_BYTES_PER_S [DONE_FILE [TOOL_OUTPUT]]

Samples the bytes the loopback delivered every 20 ms from its start until SIGTERM, and, when
DONE_FILE is given, notes when that file appears (the fetch tool's engine renames its finished
download into place before the wrapper's last poll lets the process end). On SIGTERM prints one
line: when the link first carried 90 % of its rate (ramp-up), how long the delivery ran below 90 %
at its end (the tail, while the last connections finish), when the delivery ended, and when the
file appeared, and when the tool printed its last lines. Times are seconds from START (taken just
before the tool starts: the interpreter itself may take most of a second to start on a busy
machine).
"""
import os
import signal
import sys
import time

start_epoch = float(sys.argv[1])
link_rate = float(sys.argv[2])
done_file = sys.argv[3] if len(sys.argv) > 3 else ""
tool_output = sys.argv[4] if len(sys.argv) > 4 else ""
lines_seen = []  # (time, line) of the tool's output as it appeared


def read_bytes():
    # /proc/net/dev is the namespace's own (sysfs may still show the host's loopback).
    with open("/proc/net/dev") as f:
        for line in f:
            name, _, fields = line.partition(":")
            if name.strip() == "lo":
                return int(fields.split()[0])
    raise SystemExit("link_trace: no loopback in /proc/net/dev")


start = time.monotonic() - (time.time() - start_epoch)
samples = [(time.monotonic() - start, read_bytes())]
done_at = None
done_size = 0
stopping = False


def stop(*_):
    global stopping
    stopping = True


signal.signal(signal.SIGTERM, stop)
while not stopping:
    time.sleep(0.02)
    now = time.monotonic() - start
    samples.append((now, read_bytes()))
    if tool_output and os.path.exists(tool_output):
        with open(tool_output, errors="replace") as f:
            lines = f.read().splitlines()
        lines_seen.extend((now, line) for line in lines[len(lines_seen):])
    if done_file and done_at is None and os.path.exists(done_file):
        done_at = now
        done_size = os.path.getsize(done_file)

# Rates over 200 ms windows; the transfer ends with the last window that carried 5 % of the link.
window = 10
rates = []
for i in range(window, len(samples)):
    (t0, b0), (t1, b1) = samples[i - window], samples[i]
    rates.append((t1, (b1 - b0) / (t1 - t0) if t1 > t0 else 0.0))
busy = [t for t, r in rates if r >= 0.05 * link_rate]
full = [t for t, r in rates if r >= 0.90 * link_rate]
end = busy[-1] if busy else 0.0
first_full = full[0] if full else None
last_full = full[-1] if full else None
carried = samples[-1][1] - samples[0][1]
# The share of the link the steady part (first to last moment at 90 %) carried on average.
steady = [(t, b) for t, b in samples if first_full is not None and first_full <= t <= last_full]
steady_share = 0.0
if len(steady) > 1 and steady[-1][0] > steady[0][0]:
    steady_share = (steady[-1][1] - steady[0][1]) / (steady[-1][0] - steady[0][0]) / link_rate


def fmt(value):
    return "never" if value is None else "%.2f s" % value


print("trace: 90%% of the link first at %s, last at %s (%.1f%% of the link between them; then %.2f s below 90%% until the end); "
      "delivery ended at %.2f s; file complete at %s (%.1f MiB then); %.1f MiB delivered"
      % (fmt(first_full), fmt(last_full), 100 * steady_share, (end - last_full) if last_full is not None else 0.0, end,
         fmt(done_at), done_size / 1048576, carried / 1048576))
for t, line in lines_seen[-3:]:
    print("trace: at %.2f s the tool printed \"%s\"" % (t, line))
