#!/usr/bin/python3
"""Draw every sprite sheet, the particle glow and the icons.

    generate.py --out DIR [--contact-sheet FILE.png] [--only NAME ...]
    generate.py --list        # output file names, one per line

Output is byte-for-byte reproducible: no timestamps, no randomness, and the
PNG encoder is our own.
"""

import argparse
import multiprocessing
import os
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import numpy as np  # noqa: E402

import icon  # noqa: E402
import pngio  # noqa: E402
import sheets  # noqa: E402

THUMBS = 4          # frames per sheet on the contact sheet
THUMB_SCALE = 0.4


def output_names():
    names = [s.name + ".png" for s in sheets.all_sheets()]
    names.append("particle.png")
    names += ["icon_%d.png" % n for n in icon.ICON_SIZES]
    return names


def _encode_opts(args):
    strategies = {"default": zlib.Z_DEFAULT_STRATEGY, "filtered": zlib.Z_FILTERED,
                  "rle": zlib.Z_RLE, "huffman": zlib.Z_HUFFMAN_ONLY}
    return {"filt": args.filter, "level": args.level, "strategy": strategies[args.strategy]}


def _thumbs(sheet, rgba):
    a = sheet.anim
    fw = a.frame_w
    picks = [i * a.frames // THUMBS for i in range(THUMBS)]
    return [_downscale(rgba[:, i * fw:(i + 1) * fw], THUMB_SCALE) for i in picks]


def _downscale(rgba, f):
    """Box-filter shrink in premultiplied space (good enough for review)."""
    h, w, _ = rgba.shape
    nh, nw = max(1, int(h * f)), max(1, int(w * f))
    a = rgba[..., 3:4].astype(np.float64) / 255.0
    pre = np.concatenate([rgba[..., :3] * a, a * 255.0], axis=2)
    ys = (np.arange(nh + 1) * h) // nh
    xs = (np.arange(nw + 1) * w) // nw
    acc = np.add.reduceat(np.add.reduceat(pre, ys[:-1], axis=0), xs[:-1], axis=1)
    cnt = np.outer(np.diff(ys), np.diff(xs))[..., None]
    acc = acc / cnt
    out = np.zeros((nh, nw, 4), np.uint8)
    alpha = acc[..., 3:4] / 255.0
    out[..., :3] = np.clip(np.rint(acc[..., :3] / np.maximum(alpha, 1e-6)), 0, 255).astype(np.uint8)
    out[..., 3] = np.clip(np.rint(acc[..., 3]), 0, 255).astype(np.uint8)
    return out


def _job(task):
    kind, key, out_dir, opts, want_thumbs = task
    if kind == "sheet":
        sheet = next(s for s in sheets.all_sheets() if s.name == key)
        rgba = sheets.render_sheet(sheet)
        size = pngio.write_png(os.path.join(out_dir, key + ".png"), rgba, **opts)
        return key, size, (_thumbs(sheet, rgba) if want_thumbs else None)
    if kind == "particle":
        return key, pngio.write_png(os.path.join(out_dir, "particle.png"), icon.render_particle(), **opts), None
    size = int(key.split("_")[1])
    return key, pngio.write_png(os.path.join(out_dir, key + ".png"), icon.render_icon(size), **opts), None


def contact_sheet(results, path):
    """One row per animation, eight headings across, THUMBS frames each."""
    rows = []
    for a in sheets.ANIMS:
        cells = []
        for d in sheets.DIRECTIONS:
            cells.extend(results[a.prefix + d])
            cells.append(None)
        rows.append(cells[:-1])
    cell_w = max(t.shape[1] for r in rows for t in r if t is not None)
    cell_h = max(t.shape[0] for r in rows for t in r if t is not None)
    gap = cell_w // 4
    width = max(sum(cell_w if t is not None else gap for t in r) for r in rows)
    canvas = np.zeros((cell_h * len(rows), width, 4), np.uint8)
    canvas[...] = (58, 62, 70, 255)
    for ri, r in enumerate(rows):
        x = 0
        shade = (64, 70, 80) if ri % 2 else (74, 80, 92)
        canvas[ri * cell_h:(ri + 1) * cell_h, :, :3] = shade
        for t in r:
            if t is None:
                x += gap
                continue
            h, w, _ = t.shape
            y = ri * cell_h + (cell_h - h)
            a = t[..., 3:4].astype(np.float64) / 255.0
            region = canvas[y:y + h, x:x + w, :3].astype(np.float64)
            canvas[y:y + h, x:x + w, :3] = np.rint(t[..., :3] * a + region * (1 - a)).astype(np.uint8)
            x += cell_w
    pngio.write_png(path, canvas, filt="paeth", level=9)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--out", help="output folder")
    ap.add_argument("--contact-sheet", help="also write a review contact sheet PNG")
    ap.add_argument("--only", action="append", default=[],
                    help="only this output (texture name, particle or icon_N); repeatable")
    ap.add_argument("--list", action="store_true", help="print output file names and exit")
    ap.add_argument("--jobs", type=int, default=0, help="worker processes (default: CPU count)")
    ap.add_argument("--filter", default=pngio.DEFAULT_FILTER,
                    choices=sorted(pngio.FILTERS) + ["adaptive"])
    ap.add_argument("--level", type=int, default=pngio.DEFAULT_LEVEL)
    ap.add_argument("--strategy", default="default", choices=["default", "filtered", "rle", "huffman"])
    args = ap.parse_args(argv)

    if args.list:
        print("\n".join(output_names()))
        return 0
    if not args.out:
        ap.error("--out is required")
    os.makedirs(args.out, exist_ok=True)
    opts = _encode_opts(args)
    want = bool(args.contact_sheet)

    tasks = [("sheet", s.name, args.out, opts, want) for s in sheets.all_sheets()]
    tasks.append(("particle", "particle", args.out, opts, False))
    tasks += [("icon", "icon_%d" % n, args.out, opts, False) for n in icon.ICON_SIZES]
    if args.only:
        known = {t[1] for t in tasks}
        names = {n[:-4] if n.endswith(".png") else n for n in args.only}
        unknown = sorted(names - known)
        if unknown:
            ap.error("unknown output: " + ", ".join(unknown))
        tasks = [t for t in tasks if t[1] in names]
    if want and len([t for t in tasks if t[0] == "sheet"]) != len(sheets.all_sheets()):
        print("note: the contact sheet needs every sheet; skipped with --only", file=sys.stderr)
        want = False
        tasks = [t[:4] + (False,) for t in tasks]
    # Sheets before the quick icons keeps both workers busy until the end.
    tasks.sort(key=lambda t: t[0] != "sheet")

    jobs = args.jobs or os.cpu_count() or 1
    if jobs > 1 and len(tasks) > 1:
        with multiprocessing.get_context("fork").Pool(jobs) as pool:
            done = pool.map(_job, tasks, chunksize=1)
    else:
        done = [_job(t) for t in tasks]
    total = sum(size for _k, size, _t in done)
    print("wrote %d files, %d bytes, to %s" % (len(done), total, args.out))
    if want:
        contact_sheet({k: t for k, _s, t in done if t is not None}, args.contact_sheet)
    return 0


if __name__ == "__main__":
    sys.exit(main())
