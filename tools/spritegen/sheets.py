"""Draws one sprite sheet: every frame of an animation in one heading, side by side.

Each frame is posed at phase frame / frame_count and painted into its own
clipped cell, feet on a shared ground line.
"""

import cairo

from . import figure
from .pngio import argb32_to_rgba
from .render import HEADINGS, View, paint

GROUND = 0.88          # feet line as a fraction of the sheet height


def render_sheet(sheet):
    """Render every frame of a sheet; returns straight RGBA (H, W, 4) uint8."""
    character, animation = sheet.character, sheet.animation
    frame_width, height = animation.frame_width, sheet.height
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, sheet.width, height)
    ctx = cairo.Context(surface)
    ctx.set_antialias(cairo.ANTIALIAS_GOOD)
    ground_y = round(GROUND * height)
    toward_viewer = -HEADINGS[sheet.heading][1]
    for index in range(animation.frame_count):
        view = View(sheet.heading, character.pixels_per_metre, frame_width * 0.5, ground_y)
        pose = animation.motion(character.body, animation.gait, index / animation.frame_count, toward_viewer)
        parts = figure.build(view, character, pose)
        ctx.save()
        ctx.rectangle(index * frame_width, 0, frame_width, height)
        ctx.clip()
        ctx.translate(index * frame_width, 0)
        paint(ctx, parts)
        ctx.restore()
    surface.flush()
    return argb32_to_rgba(surface.get_data(), sheet.width, height, surface.get_stride())
