#!/usr/bin/env bash
# tarnel-cli from process start to exit, beside Debian's Perl wakeonlan and a
# bare Qt Core program (bare_send), all sending the same Magic Packet to
# 127.0.0.1:9: a warm-up run each, then RUNS (default 20) rounds that run the
# three in turn, the first of each round rotating; medians in ms. Then one
# tarnel-cli wake of 500 names beside bare_send's plain sendto() loop of 500
# datagrams, into a receiver on a loopback port that counts what arrives.
# wakeonlan's column is left out when it is not installed (apt-get install
# wakeonlan); this script installs nothing.
# usage: bench/bench_cli.sh PATH/TO/tarnel-cli PATH/TO/bare_send [RUNS]
# (a Release build: cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF)
set -eu
cli=$(realpath "$1") bare=$(realpath "$2") runs=${3:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 1,000 computers, all on loopback; the last, PC-1000, has wakeonlan's MAC.
for i in $(seq 999); do
    printf 'PC-%04d,0011223344%02X,__:__,__:__,__:__,__:__,__:__,__:__,__:__,__:__,127.0.0.1\r\n' "$i" $((i % 256))
done >"$work/address.lst"
printf 'PC-1000,0A1B2C3D4E5F,__:__,__:__,__:__,__:__,__:__,__:__,__:__,__:__,127.0.0.1\r\n' >>"$work/address.lst"

python3 - "$cli" "$bare" "$work/address.lst" "$runs" <<'EOF'
import atexit, shutil, socket, statistics, subprocess, sys, time

cli, bare, book, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])

def run(command):
    start = time.perf_counter_ns()
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    ms = (time.perf_counter_ns() - start) / 1e6
    if done.returncode != 0:
        sys.exit(f"{command[0]} failed ({done.returncode}): {done.stderr.decode()}")
    return ms

# The receiver, a process of its own: counts datagrams, and answers "?" with
# how many came, and with the last one's bytes.
receiver = subprocess.Popen([sys.executable, "-c", r"""
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
try:
    s.setsockopt(socket.SOL_SOCKET, 33, 16 << 20)  # SO_RCVBUFFORCE, as root
except OSError:
    s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 16 << 20)
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1], flush=True)
count, last = 0, b""
while True:
    data, sender = s.recvfrom(2048)
    if data == b"?":
        s.sendto(b"%d " % count + last.hex().encode(), sender)
    elif data == b"end":
        break
    else:
        count, last = count + 1, data
"""], stdout=subprocess.PIPE)
atexit.register(receiver.kill)
port = int(receiver.stdout.readline())
ask = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
ask.settimeout(2)

def received(at_least):
    """How many datagrams the receiver has counted, once it has `at_least`
    (or after a second), and the last one's bytes in hex."""
    for _ in range(100):
        ask.sendto(b"?", ("127.0.0.1", port))
        count, last = ask.recv(4096).split(b" ")
        if int(count) >= at_least:
            break
        time.sleep(0.01)
    return int(count), last.decode()

def wake_command(names, to_port):
    return [cli, "wake", *names, "--host", "127.0.0.1", "--port", str(to_port), "--repeat", "1", "--file", book]

columns = {"tarnel-cli": lambda p: wake_command(["PC-1000"], p),
           "wakeonlan": lambda p: ["wakeonlan", "-i", "127.0.0.1", "-p", str(p), "0A:1B:2C:3D:4E:5F"],
           "bare": lambda p: [bare, "127.0.0.1", str(p)]}
if shutil.which("wakeonlan") is None:
    print("wakeonlan is not installed (apt-get install wakeonlan): its column is left out")
    del columns["wakeonlan"]

# The same packet from each, checked at the receiver; that is the warm-up run.
packets = set()
for name, command in columns.items():
    before = received(0)[0]
    run(command(port))
    count, last = received(before + 1)
    if count != before + 1:
        sys.exit(f"{name}: {count - before} datagrams arrived, not 1")
    packets.add(last)
if len(packets) != 1 or len(next(iter(packets))) != 204:
    sys.exit(f"the programs sent different packets: {packets}")

times = {name: [] for name in columns}
names = list(columns)
for r in range(runs):
    for name in names[r % len(names):] + names[:r % len(names)]:
        times[name].append(run(columns[name](9)))

def median(values):
    return statistics.median(values)

print(f"process start to exit, the same 102-byte packet to 127.0.0.1:9; medians of {runs} alternating runs after a warm-up")
labels = {"tarnel-cli": "tarnel-cli wake PC-1000 --file (1,000 entries)",
          "wakeonlan": "wakeonlan -i 127.0.0.1 -p 9 (Perl)",
          "bare": "bare_send (QCoreApplication + sendto)"}
for name in columns:
    print(f"  {labels[name]:<48} {median(times[name]):7.2f} ms  (min {min(times[name]):.2f}, max {max(times[name]):.2f})")
if "wakeonlan" in columns:
    perl = median(times["wakeonlan"])
    print(f"  ratio tarnel-cli / wakeonlan: {median(times['tarnel-cli']) / perl:.2f} (goal: at most 0.5)")
    print(f"  ratio bare / wakeonlan:       {median(times['bare']) / perl:.2f}")

# 500 names in one call beside a plain sendto() loop of 500 datagrams.
many = [f"PC-{i:04d}" for i in range(1, 501)]
batch = {"tarnel-cli": lambda: wake_command(many, port), "bare": lambda: [bare, "127.0.0.1", str(port), "500"]}
batch_times = {name: [] for name in batch}
for r in range(runs + 1):
    for name in (["tarnel-cli", "bare"] if r % 2 == 0 else ["bare", "tarnel-cli"]):
        before = received(0)[0]
        ms = run(batch[name]())
        count = received(before + 500)[0] - before
        if count != 500:
            sys.exit(f"{name}: {count} of 500 datagrams arrived")
        if r > 0:  # the first round is the warm-up
            batch_times[name].append(ms)
print(f"500 datagrams to a loopback receiver, process start to exit; medians of {runs} alternating runs after a warm-up")
for name, label in (("tarnel-cli", "tarnel-cli wake PC-0001 ... PC-0500"), ("bare", "bare_send, a sendto() loop of 500")):
    ms = median(batch_times[name])
    print(f"  {label:<48} {ms:7.2f} ms  = {500 / ms * 1000:8.0f} datagrams/s")
extra = (median(batch_times["tarnel-cli"]) - median(times["tarnel-cli"])) / 499 * 1000
print(f"  tarnel-cli, each name past the first: {extra:.1f} us (= {1e6 / extra:.0f} names/s)")
print(f"  all 500 arrived in each of the {2 * (runs + 1)} runs")
EOF
