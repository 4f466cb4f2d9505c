"""Command line: draw every sheet, the particle and the icons (--out), list the
output names (--list) or check the resource manifest against them (--check-manifest).

Output is byte-for-byte reproducible: no timestamps, no randomness, and the
PNG encoder is our own.
"""

import argparse
import os
import sys

from . import pngio
from .catalogue import ICON_SIZES, all_sheets, output_names

DESCRIPTION = """Draw every sprite sheet, the particle glow and the icons.

    python3 -m spritegen --out DIR [--contact-sheet FILE.png] [--only NAME ...]
    python3 -m spritegen --list                      # output file names, one per line
    python3 -m spritegen --check-manifest MANIFEST   # silent and 0 when the art lines agree
"""


def _parser():
    parser = argparse.ArgumentParser(prog="python3 -m spritegen", description=DESCRIPTION,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", help="output folder")
    parser.add_argument("--contact-sheet", help="also write a review contact sheet PNG")
    parser.add_argument("--only", action="append", default=[],
                        help="only this output (texture name, particle or icon_N); repeatable")
    parser.add_argument("--list", action="store_true", help="print output file names and exit")
    parser.add_argument("--check-manifest", metavar="MANIFEST",
                        help="compare the manifest's ${ART_DIR}/ lines with the generator's sheets; "
                             "print each disagreement and exit 1")
    parser.add_argument("--jobs", type=int, default=0, help="worker processes (default: CPU count)")
    parser.add_argument("--filter", default=pngio.DEFAULT_FILTER,
                        choices=sorted(pngio.FILTERS) + ["adaptive"])
    parser.add_argument("--level", type=int, default=pngio.DEFAULT_LEVEL)
    parser.add_argument("--strategy", default="default", choices=["default", "filtered", "rle", "huffman"])
    return parser


def _check_manifest(path):
    from . import manifest
    try:
        messages = manifest.check(path)
    except OSError as error:
        messages = ["%s: cannot read: %s" % (path, error.strerror)]
    for message in messages:
        print(message, file=sys.stderr)
    return 1 if messages else 0


def _draw(parser, args):
    # Drawing needs cairo and numpy; --list and --check-manifest do not wait for them.
    from . import contact_sheet
    from .jobs import STRATEGIES, Encoding, IconJob, ParticleJob, SheetJob, run_all

    os.makedirs(args.out, exist_ok=True)
    encoding = Encoding(row_filter=args.filter, level=args.level, strategy=STRATEGIES[args.strategy])
    sheets = all_sheets()
    want_contact_sheet = bool(args.contact_sheet)
    jobs = [SheetJob(sheet, args.out, encoding) for sheet in sheets]
    jobs.append(ParticleJob(args.out, encoding))
    jobs += [IconJob(size, args.out, encoding) for size in ICON_SIZES]
    if args.only:
        wanted = {name[:-4] if name.endswith(".png") else name for name in args.only}
        unknown = sorted(wanted - {job.name for job in jobs})
        if unknown:
            parser.error("unknown output: " + ", ".join(unknown))
        jobs = [job for job in jobs if job.name in wanted]
    if want_contact_sheet and sum(isinstance(job, SheetJob) for job in jobs) != len(sheets):
        print("note: the contact sheet needs every sheet; skipped with --only", file=sys.stderr)
        want_contact_sheet = False
    if want_contact_sheet:
        jobs = [SheetJob(job.sheet, job.out_dir, job.encoding, want_thumbnails=True)
                if isinstance(job, SheetJob) else job for job in jobs]
    # Sheets before the quick icons keeps every worker busy until the end.
    jobs.sort(key=lambda job: not isinstance(job, SheetJob))

    results = run_all(jobs, args.jobs or os.cpu_count() or 1)
    print("wrote %d files, %d bytes, to %s" % (len(results), sum(result.size for result in results), args.out))
    if want_contact_sheet:
        contact_sheet.write({result.name: result.thumbnails for result in results if result.thumbnails},
                            args.contact_sheet)
    return 0


def main(argv=None):
    parser = _parser()
    args = parser.parse_args(argv)
    if args.check_manifest:
        return _check_manifest(args.check_manifest)
    if args.list:
        print("\n".join(output_names()))
        return 0
    if not args.out:
        parser.error("--out is required")
    return _draw(parser, args)


if __name__ == "__main__":
    sys.exit(main())
