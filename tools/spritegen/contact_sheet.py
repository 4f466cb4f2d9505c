"""A review image of the whole cast: one row per animation, eight headings
across, a few frames from each sheet, on a dark backdrop.

Only for people checking the art; the program never loads it.
"""

import itertools

import numpy as np

from . import pngio
from .catalogue import all_sheets

THUMBNAILS_PER_SHEET = 4
THUMBNAIL_SCALE = 0.4


def thumbnails(sheet, rgba):
    """Evenly spaced frames of a rendered sheet, shrunk."""
    frame_width = sheet.animation.frame_width
    picks = [i * sheet.frame_count // THUMBNAILS_PER_SHEET for i in range(THUMBNAILS_PER_SHEET)]
    return [_downscale(rgba[:, i * frame_width:(i + 1) * frame_width], THUMBNAIL_SCALE) for i in picks]


def _downscale(rgba, factor):
    """Box-filter shrink in premultiplied space (good enough for review)."""
    height, width, _ = rgba.shape
    new_height, new_width = max(1, int(height * factor)), max(1, int(width * factor))
    alpha = rgba[..., 3:4].astype(np.float64) / 255.0
    premultiplied = np.concatenate([rgba[..., :3] * alpha, alpha * 255.0], axis=2)
    row_edges = (np.arange(new_height + 1) * height) // new_height
    column_edges = (np.arange(new_width + 1) * width) // new_width
    sums = np.add.reduceat(np.add.reduceat(premultiplied, row_edges[:-1], axis=0), column_edges[:-1], axis=1)
    counts = np.outer(np.diff(row_edges), np.diff(column_edges))[..., None]
    means = sums / counts
    out = np.zeros((new_height, new_width, 4), np.uint8)
    mean_alpha = means[..., 3:4] / 255.0
    out[..., :3] = np.clip(np.rint(means[..., :3] / np.maximum(mean_alpha, 1e-6)), 0, 255).astype(np.uint8)
    out[..., 3] = np.clip(np.rint(means[..., 3]), 0, 255).astype(np.uint8)
    return out


def write(thumbnails_by_sheet, path):
    """thumbnails_by_sheet: sheet name -> thumbnails(), for every sheet."""
    rows = []
    for _animation, sheets in itertools.groupby(
            all_sheets(), lambda sheet: (sheet.character.name, sheet.animation.action)):
        cells = []
        for sheet in sheets:
            cells.extend(thumbnails_by_sheet[sheet.name])
            cells.append(None)          # a gap between headings
        rows.append(cells[:-1])
    cell_width = max(cell.shape[1] for row in rows for cell in row if cell is not None)
    cell_height = max(cell.shape[0] for row in rows for cell in row if cell is not None)
    gap = cell_width // 4
    width = max(sum(cell_width if cell is not None else gap for cell in row) for row in rows)
    canvas = np.zeros((cell_height * len(rows), width, 4), np.uint8)
    canvas[...] = (58, 62, 70, 255)
    for row_index, row in enumerate(rows):
        x = 0
        shade = (64, 70, 80) if row_index % 2 else (74, 80, 92)
        canvas[row_index * cell_height:(row_index + 1) * cell_height, :, :3] = shade
        for cell in row:
            if cell is None:
                x += gap
                continue
            thumbnail_height, thumbnail_width, _ = cell.shape
            y = row_index * cell_height + (cell_height - thumbnail_height)
            alpha = cell[..., 3:4].astype(np.float64) / 255.0
            area = (slice(y, y + thumbnail_height), slice(x, x + thumbnail_width), slice(0, 3))
            backdrop = canvas[area].astype(np.float64)
            canvas[area] = np.rint(cell[..., :3] * alpha + backdrop * (1 - alpha)).astype(np.uint8)
            x += cell_width
    pngio.write_png(path, canvas, row_filter="paeth", level=9)
