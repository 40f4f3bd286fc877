#!/usr/bin/env python3
"""A payload of about 150 MB for the unpacking benchmark: 3000 small files, a few
large ones (two incompressible), and the product's program files so that it can also
be placed. Deterministic, so every run measures the same archive."""
import os
import random
import sys
import zipfile

target = sys.argv[1]
if os.path.exists(target):
    sys.exit(0)
rng = random.Random(6689)
words = [b"ormvex", b"cluster", b"engine", b"panel", b"watchdog", b"policy", b"agent", b"\xb7\xc0\xc8\xeb\xc7\xd6"]
tmp = target + ".part"
with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
    for name in ("ormvex.exe", "ormvexd.exe", "OrmVexPanel.exe", "update.exe"):
        z.writestr(name, rng.randbytes(256 * 1024))
    z.writestr("http/index.html", b"<html>bench</html>")
    z.writestr("config/config.db", b"database")
    for i in range(3000):
        size = rng.randint(1024, 16 * 1024)
        text = b" ".join(rng.choice(words) for _ in range(size // 6))[:size]
        z.writestr(f"http/static/{i // 100:02d}/file{i:04d}.txt", text)
    for i in range(2):
        z.writestr(f"data/random{i}.bin", rng.randbytes(45 * 1024 * 1024), compress_type=zipfile.ZIP_STORED)
    z.writestr("data/table.dat", b"".join(rng.choice(words) + b"\n" for _ in range(36 * 1024 * 1024 // 8)))
os.replace(tmp, target)
