#!/usr/bin/env python3
"""Whole programs on the same files, measured in one run: plenvue-cli against ImageMagick's
`convert` for PNG (its default settings) and against libjpeg-turbo's `cjpeg` for JPEG.

PNG: size is our file over convert's; speed is convert's time for BMP in and PNG out, less its time
for BMP in and BMP out, over the same difference of ours (goal: size at most 1, speed at least 2).
JPEG: our time for `convert in.bmp out.jpg --quality 90` over `cjpeg -quality 90` (goal: at most 1.2).
Times are medians of several runs of each program, the runs of the programs interleaved so that
other work on the machine weighs on all alike.

usage: programs.py PLENVUE_CLI WORK_DIR [--runs N]"""
import os
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def run(cmd, stdout=None):
    subprocess.run(cmd, check=True, stdout=stdout or subprocess.DEVNULL, stderr=subprocess.PIPE)


def timed(cmds, runs):
    """cmds: name -> (argv, stdout path or None). Median seconds of each, runs interleaved."""
    times = {name: [] for name in cmds}
    for _ in range(runs):
        for name, (argv, out) in cmds.items():
            f = open(out, "wb") if out else None
            t = time.perf_counter()
            run(argv, stdout=f)
            times[name].append(time.perf_counter() - t)
            if f:
                f.close()
    return {name: statistics.median(v) for name, v in times.items()}


def make_pictures(work):
    """The pictures, as 24-bit BMP files: screenshots (UI, text, flat areas) at several colour
    counts, a photo-like picture, and 4K versions of both for JPEG."""
    shot = os.path.join(ROOT, "bench", "data", "screenshot.png")
    bmp = lambda name: os.path.join(work, name + ".bmp")
    as_bmp = ["-depth", "8", "-type", "TrueColor", "BMP3:"]
    pics = {}

    def make(name, args):
        path = bmp(name)
        if not os.path.exists(path):
            run(["convert"] + args + as_bmp[:-1] + [as_bmp[-1] + path])
        pics[name] = path

    make("screenshot", [shot])
    for n in (562, 438, 200, 16, 2):
        make("screenshot-%d" % n, [shot, "+dither", "-colors", str(n)])
    # Soft light over large shapes with fine grain, as a camera leaves it.
    photo = ["-seed", "7", "-size", "1920x1080", "plasma:#6a8cb0-#c89060", "-blur", "0x6",
             "-attenuate", "0.35", "+noise", "Gaussian", "-blur", "0x0.6"]
    make("photo", photo)
    make("screenshot-4k", [shot, "-filter", "point", "-resize", "3840x2160!"])
    make("photo-4k", ["-seed", "9", "-size", "3840x2160", "plasma:#6a8cb0-#c89060", "-blur", "0x8",
                      "-attenuate", "0.35", "+noise", "Gaussian", "-blur", "0x0.6"])
    return pics


def colours(path):
    out = subprocess.run(["identify", "-format", "%k", path], check=True, capture_output=True, text=True)
    return int(out.stdout.strip())


def main():
    args = sys.argv[1:]
    if len(args) < 2:
        print(__doc__)
        return 2
    cli, work = args[0], args[1]
    runs = int(args[args.index("--runs") + 1]) if "--runs" in args else 5
    os.makedirs(work, exist_ok=True)
    pics = make_pictures(work)
    o = lambda name: os.path.join(work, name)
    failed = []

    print("PNG at 1920x1080 against ImageMagick convert (default settings), medians of %d runs" % runs)
    print("%-16s %7s %10s %10s %8s %9s %9s %8s" % ("picture", "colours", "ours KiB", "IM KiB", "size", "ours ms",
                                                 "IM ms", "speed"))
    for name in ("screenshot", "screenshot-562", "screenshot-438", "screenshot-200", "screenshot-16",
                 "screenshot-2", "photo"):
        src = pics[name]
        t = timed({
            "ours_png": ([cli, "convert", src, o("ours.png")], None),
            "ours_bmp": ([cli, "convert", src, o("ours.bmp")], None),
            "im_png": (["convert", src, o("im.png")], None),
            "im_bmp": (["convert", src, o("im.bmp")], None),
        }, runs)
        run(["pngcheck", "-q", o("ours.png")])
        ours, im = os.path.getsize(o("ours.png")), os.path.getsize(o("im.png"))
        ours_t = max(t["ours_png"] - t["ours_bmp"], 1e-4)
        im_t = t["im_png"] - t["im_bmp"]
        size, speed = ours / im, im_t / ours_t
        ok = size <= 1.0 and speed >= 2.0
        if not ok:
            failed.append(name)
        print("%-16s %7d %10.1f %10.1f %8.3f %9.1f %9.1f %7.1fx%s" % (
            name, colours(src), ours / 1024, im / 1024, size, ours_t * 1e3, im_t * 1e3, speed,
            "" if ok else "  (goal missed)"))

    print()
    print("JPEG at 3840x2160, quality 90, against cjpeg -quality 90 on the same BMP, medians of %d runs" % runs)
    print("%-16s %10s %10s %9s %9s %8s" % ("picture", "ours KiB", "cjpeg KiB", "ours ms", "cjpeg ms", "time"))
    for name in ("screenshot-4k", "photo-4k"):
        src = pics[name]
        t = timed({
            "ours": ([cli, "convert", src, o("ours.jpg"), "--quality", "90"], None),
            "cjpeg": (["cjpeg", "-quality", "90", src], o("cjpeg.jpg")),
        }, runs)
        ratio = t["ours"] / t["cjpeg"]
        ok = ratio <= 1.2
        if not ok:
            failed.append(name)
        print("%-16s %10.1f %10.1f %9.1f %9.1f %7.2fx%s" % (
            name, os.path.getsize(o("ours.jpg")) / 1024, os.path.getsize(o("cjpeg.jpg")) / 1024,
            t["ours"] * 1e3, t["cjpeg"] * 1e3, ratio, "" if ok else "  (goal missed)"))
    print()
    print("goals missed: " + (", ".join(failed) if failed else "none"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
