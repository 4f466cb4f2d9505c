"""The sheet table and sheet rendering."""

from dataclasses import dataclass

import cairo

import characters as ch
import figure
import pose as posing
from pngio import argb32_to_rgba
from render import HEADINGS, View, paint

DIRECTIONS = ("E", "N", "NE", "NW", "S", "SE", "SW", "W")
GROUND = 0.88          # feet line as a fraction of frame height


@dataclass(frozen=True)
class Anim:
    base_id: int
    prefix: str
    width: int
    height: int
    frames: int
    frame_w: int
    odd_heights: tuple      # ((id, height), ...)
    look: ch.Look
    body: posing.Body
    gait: posing.Gait
    motion: str             # gait | soldier_walk | soldier_hit
    scale: float            # pixels per metre
    outline: float


ANIMS = (
    Anim(201, "female_zombie_run_", 5000, 200, 25, 200, ((202, 205), (203, 205)),
         ch.FEMALE, ch.FEMALE_BODY, ch.FEMALE_RUN, "gait", 100.0, 2.0),
    Anim(209, "female_zombie_walk_", 7200, 200, 36, 200, ((210, 220),),
         ch.FEMALE, ch.FEMALE_BODY, ch.FEMALE_WALK, "gait", 100.0, 2.0),
    Anim(217, "male_zombie_run_", 6250, 250, 25, 250, (),
         ch.MALE, ch.MALE_BODY, ch.MALE_RUN, "gait", 112.0, 2.3),
    Anim(225, "male_zombie_walk_", 8750, 250, 35, 250, (),
         ch.MALE, ch.MALE_BODY, ch.MALE_WALK, "gait", 112.0, 2.3),
    Anim(233, "swat_soldier_walk_", 6250, 250, 25, 250, (),
         ch.SOLDIER, ch.SOLDIER_BODY, ch.SOLDIER_WALK, "soldier_walk", 110.0, 2.3),
    Anim(241, "swat_soldier_hit_", 9000, 250, 36, 250, ((242, 280),),
         ch.SOLDIER, ch.SOLDIER_BODY, ch.SOLDIER_STAND, "soldier_hit", 110.0, 2.3),
)


@dataclass(frozen=True)
class Sheet:
    id: int
    name: str
    heading: str
    width: int
    height: int
    anim: Anim


def all_sheets():
    out = []
    for a in ANIMS:
        odd = dict(a.odd_heights)
        for i, d in enumerate(DIRECTIONS):
            sid = a.base_id + i
            out.append(Sheet(sid, a.prefix + d, d, a.width, odd.get(sid, a.height), a))
    return out


def pose_at(anim, t, heading):
    if anim.motion == "gait":
        return posing.gait_pose(anim.body, anim.gait, t, toward=-HEADINGS[heading][1])
    if anim.motion == "soldier_walk":
        return posing.soldier_walk_pose(anim.body, anim.gait, t)
    return posing.soldier_hit_pose(anim.body, anim.gait, t)


def render_sheet(sheet):
    """Render every frame of a sheet; returns straight RGBA (H, W, 4) uint8."""
    a = sheet.anim
    fw, h = a.frame_w, sheet.height
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, sheet.width, h)
    ctx = cairo.Context(surf)
    ctx.set_antialias(cairo.ANTIALIAS_GOOD)
    ground = round(GROUND * h)
    for i in range(a.frames):
        view = View(sheet.heading, a.scale, fw * 0.5, ground)
        p = pose_at(a, i / a.frames, sheet.heading)
        parts = figure.build(view, a.outline, a.look, a.body, p)
        ctx.save()
        ctx.rectangle(i * fw, 0, fw, h)
        ctx.clip()
        ctx.translate(i * fw, 0)
        paint(ctx, parts)
        ctx.restore()
    surf.flush()
    return argb32_to_rgba(surf.get_data(), sheet.width, h, surf.get_stride())
