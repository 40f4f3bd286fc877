#!/usr/bin/env python3
"""Assembles the installer's payload: a deflated zip of the product's files.

Usage: make_payload.py OUTPUT_ZIP PANEL_EXE WATCHDOG_EXE ENGINE_EXE UPDATE_EXE [PRODUCT_FOLDER]

With a PRODUCT_FOLDER (a packager's copy of the real product), its whole tree is
packed as it is. Otherwise the development payload is made from the programs built
here, the engine stand-in and small placeholders for the files the real product
carries. Member names use forward slashes, as the zip format asks.
"""
import os
import sys
import zipfile

PLACEHOLDERS = {
    "http/index.html": "<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\"><title>OrmVex</title></head>"
                        "<body>OrmVex</body></html>\r\n",
    "config/config.db": "placeholder database\r\n",
    "sqlite3.dll": "placeholder library\r\n",
    "ReadMe.txt": "Orm OrmVex 1.1.0\r\n",
    "tools/readme.txt": "tools\r\n",
    "OrmVex.url": "[InternetShortcut]\r\nURL=http://localhost:6689/\r\n",
}
EMPTY_FOLDERS = ["recycle/"]


def add_bytes(archive, name, data):
    info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    archive.writestr(info, data)


def main():
    output, panel, watchdog, engine, update = sys.argv[1:6]
    product = sys.argv[6] if len(sys.argv) > 6 and sys.argv[6] else ""
    temporary = output + ".part"
    with zipfile.ZipFile(temporary, "w", zipfile.ZIP_DEFLATED) as archive:
        if product:
            for root, folders, files in os.walk(product):
                folders.sort()
                relative = os.path.relpath(root, product)
                prefix = "" if relative == "." else relative.replace(os.sep, "/") + "/"
                if prefix and not files and not folders:
                    add_bytes(archive, prefix, b"")
                for name in sorted(files):
                    with open(os.path.join(root, name), "rb") as f:
                        add_bytes(archive, prefix + name, f.read())
        else:
            for name, path in [("OrmVexPanel.exe", panel), ("ormvexd.exe", watchdog), ("ormvex.exe", engine),
                               ("update.exe", update)]:
                with open(path, "rb") as f:
                    add_bytes(archive, name, f.read())
            for name, text in PLACEHOLDERS.items():
                add_bytes(archive, name, text.encode("utf-8"))
            for folder in EMPTY_FOLDERS:
                add_bytes(archive, folder, b"")
    os.replace(temporary, output)


if __name__ == "__main__":
    main()
