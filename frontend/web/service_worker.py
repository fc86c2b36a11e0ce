#!/usr/bin/env python3
"""Writes the page's service worker: its template with the files to keep for offline play.

service_worker.py TEMPLATE SITE VERSION FILE...

Each FILE, a path below SITE, is listed with the SHA-256 of its bytes; the cache's name is the
version and a digest of that list, so a build that changes any file has a worker of its own.
"""

import hashlib
import json
import sys
from pathlib import Path


def main():
    template, site, version, *files = sys.argv[1:]
    site = Path(site)
    listed = [[name, hashlib.sha256((site / name).read_bytes()).hexdigest()] for name in files]
    listing = "[\n" + "".join(f"  {json.dumps(entry)},\n" for entry in listed) + "]"
    cache = f"volarin-{version}-{hashlib.sha256(listing.encode()).hexdigest()[:16]}"
    text = Path(template).read_text(encoding="utf-8")
    for placeholder, value in (("@CACHE@", json.dumps(cache)), ("@FILES@", listing)):
        if placeholder not in text:
            sys.exit(f"{template}: no {placeholder}")
        text = text.replace(placeholder, value)
    (site / "service-worker.js").write_text(text, encoding="utf-8")


if __name__ == "__main__":
    main()
