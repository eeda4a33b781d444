#!/usr/bin/env python3
"""Extraction speed, natively: our reader against the bare zlib extractor, unzip and bsdtar.

  bench/zip/run.py --build <native-build-dir> [--small] [--rounds 5] [--work DIR]

Builds the bench's package with ../shared/bench/make_package.py (kept in the work folder
for later runs), then extracts it round-robin with each tool into a fresh folder,
starting each round with the next tool, and prints medians: seconds, MB/s of output
(10^6 bytes), peak resident memory, and our speed as a ratio of each other tool's.

Only ratios from one run mean anything on this machine. On tmpfs (the default work
folder) each output is deleted right after its run; on a disk all outputs are kept until
the end, since creating files soon after deleting thousands costs far more there.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
MAKE_PACKAGE = os.path.join(os.path.dirname(REPO), "shared", "bench", "make_package.py")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, help="native build folder with bench/zip")
    parser.add_argument("--small", action="store_true", help="the 20 MB package")
    parser.add_argument("--rounds", type=int, default=5)
    default_work = "/dev/shm/kalvera-zip-bench" if os.path.isdir("/dev/shm") else "/tmp/kalvera-zip-bench"
    parser.add_argument("--work", default=default_work)
    args = parser.parse_args()

    tools_dir = os.path.join(os.path.abspath(args.build), "bench", "zip")
    ours = os.path.join(tools_dir, "zip_bench_ours")
    bare = os.path.join(tools_dir, "zip_bench_bare")
    for exe in (ours, bare):
        if not os.access(exe, os.X_OK):
            sys.exit(f"no {exe}: build the targets zip_bench_ours and zip_bench_bare")
    for exe in ("unzip", "bsdtar", "/usr/bin/time"):
        if not shutil.which(exe):
            sys.exit(f"{exe} is missing (tools/install-deps.sh installs it)")

    os.makedirs(args.work, exist_ok=True)
    package = os.path.join(args.work, "pkg-small.zip" if args.small else "pkg.zip")
    if not os.path.exists(package):
        if not os.path.exists(MAKE_PACKAGE):
            sys.exit(f"no {MAKE_PACKAGE}")
        subprocess.run([sys.executable, MAKE_PACKAGE] + (["--small"] if args.small else []) + [package],
                       check=True)
    with zipfile.ZipFile(package) as z:
        files = [i for i in z.infolist() if not i.is_dir()]
    out_bytes = sum(i.file_size for i in files)

    tools = {
        "ours": lambda out: [ours, package, out],
        "bare": lambda out: [bare, package, out],
        "unzip": lambda out: ["unzip", "-q", "-o", package, "-d", out],
        "bsdtar": lambda out: ["bsdtar", "-x", "-f", package, "-C", out],
    }
    names = list(tools)
    on_tmpfs = subprocess.run(["stat", "-f", "-c", "%T", args.work], capture_output=True,
                              text=True).stdout.strip() == "tmpfs"
    outputs = os.path.join(args.work, "out")
    shutil.rmtree(outputs, ignore_errors=True)
    seconds = {n: [] for n in names}
    peak_kib = {n: [] for n in names}
    print(f"{os.path.basename(package)}: {len(files)} files, {out_bytes / 1e6:.1f} MB of output, "
          f"{args.rounds} rounds, work in {args.work}{' (tmpfs)' if on_tmpfs else ''}")
    for r in range(args.rounds):
        order = names[r % len(names):] + names[:r % len(names)]
        for name in order:
            out = os.path.join(outputs, f"{name}-{r}")
            os.makedirs(out)
            memory = out + ".rss"
            start = time.perf_counter()
            run = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", memory] + tools[name](out),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
            elapsed = time.perf_counter() - start
            if run.returncode != 0:
                sys.exit(f"{name} failed: {run.stderr.strip()}")
            seconds[name].append(elapsed)
            with open(memory) as f:
                peak_kib[name].append(int(f.read().split()[-1]))
            if r == 0:
                count, total = 0, 0
                for root, _, names_here in os.walk(out):
                    for n in names_here:
                        count += 1
                        total += os.path.getsize(os.path.join(root, n))
                if (count, total) != (len(files), out_bytes):
                    sys.exit(f"{name} wrote {count} files, {total} bytes; expected {len(files)}, {out_bytes}")
            if on_tmpfs:
                shutil.rmtree(out)
                os.remove(memory)
        print(f"  round {r + 1}: " + ", ".join(f"{n} {seconds[n][-1]:.3f} s" for n in names), flush=True)
    shutil.rmtree(outputs, ignore_errors=True)

    ours_median = statistics.median(seconds["ours"])
    print(f"\n{'tool':8} {'median s':>9} {'MB/s':>7} {'peak MiB':>9} {'ours / tool':>12}")
    for n in names:
        m = statistics.median(seconds[n])
        print(f"{n:8} {m:9.3f} {out_bytes / 1e6 / m:7.0f} {max(peak_kib[n]) / 1024:9.1f} "
              f"{m / ours_median:11.2f}x")


if __name__ == "__main__":
    main()
