#!/usr/bin/env python3
"""Archives for the unpacking tests, made by other tools than ours: Info-ZIP's zip
(stored and deflated members) and Python's zipfile (member names that try to leave
the folder they are unpacked into, a UTF-8 name), plus a damaged one."""
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

out = sys.argv[1]
os.makedirs(out, exist_ok=True)

with tempfile.TemporaryDirectory() as tmp:
    tree = os.path.join(tmp, "tree")
    os.makedirs(os.path.join(tree, "http", "img"))
    os.makedirs(os.path.join(tree, "recycle"))
    with open(os.path.join(tree, "http", "index.html"), "w") as f:
        f.write("<html>index</html>\n")
    with open(os.path.join(tree, "http", "img", "logo.bin"), "wb") as f:
        f.write(bytes(range(256)) * 300)
    with open(os.path.join(tree, "ReadMe.txt"), "w") as f:
        f.write("read me\n" * 500)
    for name, level in (("infozip_stored.zip", "-0"), ("infozip_deflated.zip", "-9")):
        target = os.path.join(out, name)
        if os.path.exists(target):
            os.remove(target)
        subprocess.run(["zip", "-q", "-r", level, target, "."], cwd=tree, check=True)

hostile = os.path.join(out, "python_names.zip")
with zipfile.ZipFile(hostile, "w") as z:
    def add(name, data, method=zipfile.ZIP_DEFLATED):
        info = zipfile.ZipInfo(name, date_time=(2020, 5, 17, 10, 30, 0))
        info.compress_type = method
        z.writestr(info, data)
    add("C:\\evil1.txt", b"1")
    add("/abs/evil2.txt", b"2", zipfile.ZIP_STORED)
    add("..\\..\\evil3.txt", b"3")
    add("../evil4.txt", b"4")
    add("a/../../evil5.txt", b"5")
    add("ok/dir/", b"")
    add("ok/dir/file.txt", b"inside")
    add("\u914d\u7f6e.txt", b"utf8 name")  # 配置.txt, stored with the UTF-8 flag

damaged = os.path.join(out, "damaged.zip")
with open(os.path.join(out, "infozip_deflated.zip"), "rb") as f:
    data = f.read()
with open(damaged, "wb") as f:
    f.write(data[: len(data) // 2])

# Payloads for the placement tests: the product's layout with small stand-in files.
def payload(name, skip=()):
    members = {
        "ormvex.exe": b"new engine",
        "ormvexd.exe": b"new watchdog",
        "OrmVexPanel.exe": b"new panel",
        "update.exe": b"new updater",
        "http/index.html": b"<html>new</html>",
        "http/js/app.js": b"new script",
        "config/config.db": b"fresh database",
        "ReadMe.txt": b"new readme",
        "sqlite3.dll": b"new sqlite",
        "tools/helper.txt": b"new tool",
        "recycle/": b"",
        "Orm.url": b"[InternetShortcut]\r\nURL=http://localhost:6689/\r\n",
    }
    with zipfile.ZipFile(os.path.join(out, name), "w", zipfile.ZIP_DEFLATED) as z:
        for member, data in members.items():
            if member not in skip:
                z.writestr(member, data)

payload("payload_full.zip")
payload("payload_without_update.zip", skip=("update.exe",))
