#!/usr/bin/env python3
"""A product payload for the installation-steps tests, from the programs of this
build: the engine stand-in and the watchdog are real; the panel and the updater are
stood in for by a program that only sleeps."""
import sys
import zipfile

out, engine, watchdog, sleeper = sys.argv[1:5]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    z.write(engine, "ormvex.exe")
    z.write(watchdog, "ormvexd.exe")
    z.write(sleeper, "OrmVexPanel.exe")
    z.write(sleeper, "update.exe")
    z.writestr("http/index.html", "<html>Orm</html>")
    z.writestr("config/config.db", "database")
    z.writestr("ReadMe.txt", "read me")
    z.writestr("sqlite3.dll", "sqlite")
    z.writestr("recycle/", "")
