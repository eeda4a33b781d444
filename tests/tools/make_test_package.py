#!/usr/bin/env python3
"""Builds the test platform package: the setup stand-in at the top level, the platform
stand-in it installs, and incompressible padding that makes the download long enough for
the progress bar's range to pass 65535 (more than 6,553,500 bytes).

    make_test_package.py <setup.exe> <platform.exe> <out.zip> [padding bytes]
"""
import random
import sys
import zipfile


def main():
    setup, platform, out = sys.argv[1:4]
    padding = int(sys.argv[4]) if len(sys.argv) > 4 else 7_000_000
    # Fixed seed: the same package on every build.
    data = random.Random(18).randbytes(padding)
    with zipfile.ZipFile(out, "w") as z:
        z.write(setup, "KalveraSetup1c.exe", compress_type=zipfile.ZIP_DEFLATED)
        z.write(platform, "platform/1cv8.exe", compress_type=zipfile.ZIP_DEFLATED)
        z.writestr("platform/help.bin", data, compress_type=zipfile.ZIP_STORED)


if __name__ == "__main__":
    main()
