"""Work items for the drawing pool: each job draws, encodes and writes one file.

Jobs are small dataclasses so they pickle to the fork()ed workers, and each
knows how to run itself, so the pool never dispatches on a kind string.
"""

import dataclasses
import multiprocessing
import os
import zlib
from dataclasses import dataclass
from typing import ClassVar, List, Optional

from . import contact_sheet, icon, pngio
from .catalogue import PARTICLE, Sheet, icon_name
from .sheets import render_sheet

STRATEGIES = {"default": zlib.Z_DEFAULT_STRATEGY, "filtered": zlib.Z_FILTERED,
              "rle": zlib.Z_RLE, "huffman": zlib.Z_HUFFMAN_ONLY}


@dataclass(frozen=True)
class Encoding:
    """PNG encoder settings shared by every job of a run."""
    row_filter: str = pngio.DEFAULT_FILTER
    level: int = pngio.DEFAULT_LEVEL
    strategy: int = pngio.DEFAULT_STRATEGY


@dataclass(frozen=True)
class JobResult:
    name: str
    size: int                       # bytes written
    thumbnails: Optional[List] = None


def _write(out_dir, name, rgba, encoding):
    return pngio.write_png(os.path.join(out_dir, name + ".png"), rgba, **dataclasses.asdict(encoding))


@dataclass(frozen=True)
class SheetJob:
    sheet: Sheet
    out_dir: str
    encoding: Encoding
    want_thumbnails: bool = False

    @property
    def name(self):
        return self.sheet.name

    def run(self):
        rgba = render_sheet(self.sheet)
        size = _write(self.out_dir, self.name, rgba, self.encoding)
        return JobResult(self.name, size,
                         contact_sheet.thumbnails(self.sheet, rgba) if self.want_thumbnails else None)


@dataclass(frozen=True)
class ParticleJob:
    out_dir: str
    encoding: Encoding
    name: ClassVar[str] = PARTICLE

    def run(self):
        return JobResult(self.name, _write(self.out_dir, self.name, icon.render_particle(), self.encoding))


@dataclass(frozen=True)
class IconJob:
    size: int
    out_dir: str
    encoding: Encoding

    @property
    def name(self):
        return icon_name(self.size)

    def run(self):
        return JobResult(self.name, _write(self.out_dir, self.name, icon.render_icon(self.size), self.encoding))


def _run(job):
    return job.run()


def run_all(jobs, worker_count):
    """Run the jobs, in worker processes when there is more than one; results in job order."""
    if worker_count > 1 and len(jobs) > 1:
        with multiprocessing.get_context("fork").Pool(worker_count) as pool:
            return pool.map(_run, jobs, chunksize=1)
    return [job.run() for job in jobs]
