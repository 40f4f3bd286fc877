#!/usr/bin/env python3
"""Payloads made from the installer's own payload, for the life-cycle scenario and
the upgrade benchmark.

Usage: make_payloads.py newer OUTPUT_ZIP PAYLOAD_ZIP
         every member as it is, the four programs with NEWER_MARK appended: the
         programs still run, and a test tells the newer files by their last bytes.
       make_payloads.py large OUTPUT_ZIP PAYLOAD_ZIP MEGABYTES
         every member as it is, plus stored files of random bytes under "tools/"
         until the archive has the given size.
"""
import random
import sys
import zipfile

NEWER_MARK = b"ormvex newer build"
PROGRAMS = {"ormvex.exe", "ormvexd.exe", "OrmVexPanel.exe", "update.exe"}
BULK_FILE = 8 * 1024 * 1024


def copy_members(source, target, change=lambda name, data: data):
    for info in source.infolist():
        target.writestr(info, change(info.filename, source.read(info.filename)))


def newer(output, payload):
    with zipfile.ZipFile(payload) as source, zipfile.ZipFile(output, "w") as target:
        copy_members(source, target, lambda name, data: data + NEWER_MARK if name in PROGRAMS else data)


def large(output, payload, megabytes):
    wanted = megabytes * 1024 * 1024
    bulk = random.Random(4071)
    with zipfile.ZipFile(payload) as source, zipfile.ZipFile(output, "w") as target:
        copy_members(source, target)
        written, number = sum(i.compress_size for i in source.infolist()), 0
        while written < wanted:
            size = min(BULK_FILE, wanted - written)
            info = zipfile.ZipInfo("tools/bulk_%03d.bin" % number, date_time=(2026, 1, 1, 0, 0, 0))
            target.writestr(info, bulk.randbytes(size), compress_type=zipfile.ZIP_STORED)
            written, number = written + size, number + 1


if __name__ == "__main__":
    if sys.argv[1] == "newer":
        newer(sys.argv[2], sys.argv[3])
    else:
        large(sys.argv[2], sys.argv[3], int(sys.argv[4]))
