#!/usr/bin/env python3
"""Python's configparser on the comparison file: prints the same line as ini_compare."""
import configparser, resource, sys, time

path, sections, keys = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
names_s = ["sec%05d" % s for s in range(sections)]
names_k = ["key%05d" % k for k in range(keys)]
t0 = time.perf_counter()
cp = configparser.RawConfigParser(interpolation=None, strict=False)
cp.optionxform = str
cp.read(path)
t1 = time.perf_counter()
count, checksum = 0, 0
for s in names_s:
    sec = cp[s]
    for k in names_k:
        v = sec.get(k)
        if v is not None:
            count += 1
            for ch in v.encode():
                checksum = (checksum * 131 + ch) & 0xFFFFFFFFFFFFFFFF
t2 = time.perf_counter()
for s in names_s:
    sec = cp[s]
    for k in names_k:
        sec.get(k + "x")
t3 = time.perf_counter()
cp[names_s[0]][names_k[0]] = "changed"
with open(path, "w") as f:
    cp.write(f)
t4 = time.perf_counter()
peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
print("configparser %.3f %.3f %.3f %.3f %d %016x %d" % ((t1 - t0) * 1e3, (t2 - t1) * 1e3, (t3 - t2) * 1e3, (t4 - t3) * 1e3, count, checksum, peak))
