#!/usr/bin/env python3
"""Runs whole programs in turn, round by round, so drift of a shared machine hits all alike, and
prints each one's wall and CPU time (user + system of the finished process) and the per-round
ratios of the pairs asked for, as min / median / max. The first three rounds warm the caches and
are not counted.

  alternating_runs.py RUNS NAME=COMMAND... [--ratio A/B[:TARGET]]...
"""
import os
import shlex
import statistics
import subprocess
import sys
import time


def main(argv):
    runs = int(argv[0])
    commands, ratios = {}, []
    args = iter(argv[1:])
    for arg in args:
        if arg == "--ratio":
            pair, _, target = next(args).partition(":")
            ratios.append((*pair.split("/"), target))
        else:
            name, _, command = arg.partition("=")
            commands[name] = shlex.split(command)
    wall = {k: [] for k in commands}
    cpu = {k: [] for k in commands}
    for i in range(runs + 3):
        for name, command in commands.items():
            t0 = time.perf_counter()
            proc = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            _, status, usage = os.wait4(proc.pid, 0)
            t1 = time.perf_counter()
            if os.waitstatus_to_exitcode(status) != 0:
                sys.exit(f"{name} failed with status {status}")
            if i >= 3:
                wall[name].append((t1 - t0) * 1000)
                cpu[name].append((usage.ru_utime + usage.ru_stime) * 1000)

    def mmm(xs, digits):
        return " ".join(f"{x:7.{digits}f}" for x in (min(xs), statistics.median(xs), max(xs)))

    width = max(len(k) for k in commands)
    print(f"{runs} alternating rounds (min median max)")
    for name in commands:
        print(f"{name:{width}} wall ms {mmm(wall[name], 2)}   cpu ms {mmm(cpu[name], 2)}")
    for a, b, target in ratios:
        for what, d in (("cpu", cpu), ("wall", wall)):
            r = [x / y for x, y in zip(d[a], d[b]) if y > 0]
            goal = f", target {target}x" if target else ""
            print(f"ratio {a} / {b} ({what}{goal}): {mmm(r, 2)}")


if __name__ == "__main__":
    main(sys.argv[1:])
