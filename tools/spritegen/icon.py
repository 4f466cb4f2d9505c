"""Application icon and the particle glow."""

import math

import cairo
import numpy as np

from pngio import argb32_to_rgba

ICON_SIZES = (16, 24, 32, 48, 64, 128, 256, 512)
PARTICLE_SIZE = (840, 859)


def _rgb(ctx, c, a=1.0):
    ctx.set_source_rgba(c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, a)


def _rounded(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 1.5 * math.pi)
    ctx.close_path()


# Zombie hand in icon units (512 grid): palm outline with four fingers and a thumb.
_HAND = [(196, 520), (206, 352), (178, 300), (150, 250), (146, 226), (164, 220), (190, 252),
         (214, 280), (212, 196), (206, 134), (214, 118), (232, 122), (242, 190), (252, 256),
         (258, 170), (262, 106), (274, 92), (290, 100), (290, 176), (286, 258), (300, 188),
         (314, 128), (330, 120), (340, 134), (330, 210), (318, 276), (340, 224), (356, 182),
         (372, 178), (378, 196), (364, 262), (340, 336), (316, 370), (320, 520)]


# Fewer, broader fingers for the tiny sizes so the gaps survive at 16 px.
_HAND_SMALL = [(190, 520), (196, 334), (150, 266), (138, 236), (164, 224), (214, 280), (206, 156),
               (228, 132), (252, 152), (258, 262), (262, 122), (286, 104), (310, 124), (304, 262),
               (320, 164), (342, 150), (362, 170), (332, 344), (322, 520)]


def _draw_icon(ctx, size):
    s = size / 512.0
    small = size < 40
    line = max(1.0 / s, 14.0 if small else 10.0)   # in 512-units
    ctx.scale(s, s)
    # Night backdrop.
    _rounded(ctx, 8, 8, 496, 496, 92)
    g = cairo.LinearGradient(0, 0, 0, 512)
    g.add_color_stop_rgb(0, 0.16, 0.11, 0.28)
    g.add_color_stop_rgb(1, 0.06, 0.04, 0.10)
    ctx.set_source(g)
    ctx.fill()
    # Monitor with a lit screen.
    mx, my, mw, mh = (48, 64, 416, 300) if small else (64, 72, 384, 276)
    if not small:
        ctx.move_to(220, my + mh - 4)
        ctx.line_to(292, my + mh - 4)
        ctx.line_to(310, 420)
        ctx.line_to(202, 420)
        ctx.close_path()
        _rgb(ctx, (52, 52, 66))
        ctx.fill()
        _rounded(ctx, 150, 410, 212, 34, 14)
        _rgb(ctx, (64, 64, 80))
        ctx.fill()
    _rounded(ctx, mx, my, mw, mh, 26)
    _rgb(ctx, (20, 18, 30))
    ctx.fill()
    inset = 22 if small else 24
    _rounded(ctx, mx + inset, my + inset, mw - 2 * inset, mh - 2 * inset, 10)
    g = cairo.LinearGradient(0, my, 0, my + mh)
    g.add_color_stop_rgb(0, 0.45, 0.78, 0.92)
    g.add_color_stop_rgb(1, 0.16, 0.38, 0.62)
    ctx.set_source(g)
    ctx.fill()
    if not small:
        # Cracks radiating from where the hand breaks through.
        ctx.set_line_width(6)
        _rgb(ctx, (230, 246, 255), 0.8)
        for x0, y0, x1, y1 in ((250, 300, 130, 150), (262, 290, 380, 118), (250, 300, 120, 260),
                               (262, 300, 400, 250)):
            ctx.move_to(x0, y0)
            ctx.line_to((x0 + x1) / 2 + 12, (y0 + y1) / 2 - 6)
            ctx.line_to(x1, y1)
            ctx.stroke()
    # The hand, clipped to the icon, rising through the screen.
    ctx.save()
    _rounded(ctx, 8, 8, 496, 496, 92)
    ctx.clip()
    pts = _HAND_SMALL if small else _HAND
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)
    ctx.close_path()
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_line_width(line * 2)
    _rgb(ctx, (16, 22, 12))
    ctx.stroke_preserve()
    g = cairo.LinearGradient(150, 0, 380, 0)
    g.add_color_stop_rgb(0, 0.62, 0.78, 0.45)
    g.add_color_stop_rgb(0.6, 0.45, 0.62, 0.32)
    g.add_color_stop_rgb(1, 0.30, 0.44, 0.22)
    ctx.set_source(g)
    ctx.fill()
    # Torn sleeve at the wrist.
    sleeve = [(180, 520), (186, 396), (204, 410), (222, 392), (246, 412), (266, 390), (290, 410),
              (312, 394), (334, 404), (336, 520)]
    ctx.move_to(*sleeve[0])
    for p in sleeve[1:]:
        ctx.line_to(*p)
    ctx.close_path()
    ctx.set_line_width(line * 2)
    _rgb(ctx, (16, 22, 12))
    ctx.stroke_preserve()
    _rgb(ctx, (86, 112, 150))
    ctx.fill()
    if size >= 48:
        _rgb(ctx, (120, 24, 26))
        ctx.arc(282, 318, 16, 0, 2 * math.pi)
        ctx.fill()
    ctx.restore()
    # Thin rim so the tile reads on light and dark panels alike.
    _rounded(ctx, 8 + line / 2, 8 + line / 2, 496 - line, 496 - line, 88)
    ctx.set_line_width(line)
    _rgb(ctx, (90, 70, 130), 0.9)
    ctx.stroke()


def render_icon(size):
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, size, size)
    ctx = cairo.Context(surf)
    _draw_icon(ctx, size)
    surf.flush()
    return argb32_to_rgba(surf.get_data(), size, size, surf.get_stride())


def render_particle():
    w, h = PARTICLE_SIZE
    y, x = np.mgrid[0:h, 0:w].astype(np.float64)
    cx, cy = (w - 1) / 2.0, (h - 1) / 2.0
    radius = min(w, h) / 2.0 - 6.0
    r = np.sqrt((x - cx) ** 2 + (y - cy) ** 2) / radius
    t = np.clip(r, 0.0, 1.0)
    alpha = (1.0 - t * t) ** 2.4
    core = np.exp(-(r / 0.22) ** 2)
    # White-hot core through orange to a deep red rim.
    red = 255.0 - 40.0 * t
    green = 140.0 + 100.0 * core - 60.0 * t
    blue = 50.0 + 180.0 * core - 30.0 * t
    out = np.empty((h, w, 4), np.uint8)
    for i, ch in enumerate((red, green, blue)):
        out[..., i] = np.clip(np.rint(ch), 0, 255).astype(np.uint8)
    a8 = np.clip(np.rint(alpha * 255.0), 0, 255).astype(np.uint8)
    out[..., 3] = a8
    out[a8 == 0, :3] = 0
    return out
