#!/usr/bin/env python3
"""Builds a platform package of more than 100 MB for the Wine tests of the extraction:
thousands of stored files (each one a file to create, which is what costs under Wine),
then the setup stand-in last, so that an extraction ended early never reaches it.
Stored, not deflated: the build makes it in about a second.

    make_large_package.py <setup.exe> <out.zip> [files] [bytes per file]
"""
import random
import sys
import zipfile


def main():
    setup, out = sys.argv[1:3]
    files = int(sys.argv[3]) if len(sys.argv) > 3 else 8400
    size = int(sys.argv[4]) if len(sys.argv) > 4 else 12_500
    # Fixed seed: the same package on every build. One pool, sliced at shifting offsets,
    # keeps the files apart without drawing 100 MB of random numbers.
    pool = random.Random(21).randbytes(size * 64)
    with zipfile.ZipFile(out, "w", compression=zipfile.ZIP_STORED) as z:
        for i in range(files):
            at = (i * 7919) % (len(pool) - size)
            z.writestr("platform/data/%02d/%05d.bin" % (i // 500, i), pool[at:at + size])
        z.write(setup, "KalveraSetup1c.exe")


if __name__ == "__main__":
    main()
