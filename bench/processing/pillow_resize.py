#!/usr/bin/env python3
"""Times Pillow's resize of a picture for bench_resample.

Usage: pillow_resize.py PICTURE WIDTH HEIGHT lanczos|bilinear|box RUNS
Prints one line per run: the real and the processor time of the resize alone, in seconds.
"""
import sys
import time

from PIL import Image

path, width, height, name, runs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], int(sys.argv[5])
kinds = getattr(Image, "Resampling", Image)
filters = {"lanczos": kinds.LANCZOS, "bilinear": kinds.BILINEAR, "box": kinds.BOX}
picture = Image.open(path)
picture.load()
picture.resize((width, height), filters[name], reducing_gap=None)  # the first run warms up
for _ in range(runs):
    real, cpu = time.perf_counter(), time.process_time()
    picture.resize((width, height), filters[name], reducing_gap=None)
    print(time.perf_counter() - real, time.process_time() - cpu, flush=True)
