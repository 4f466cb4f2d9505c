"""The application icon at every size, and the particle glow.

The icon is a zombie hand breaking through a monitor; the tiny sizes get a
simpler hand so the finger gaps survive at 16 px.
"""

import math

import cairo
import numpy as np

from .catalogue import PARTICLE_SIZE
from .pngio import argb32_to_rgba


def _set_colour(ctx, colour, alpha=1.0):
    ctx.set_source_rgba(colour[0] / 255.0, colour[1] / 255.0, colour[2] / 255.0, alpha)


def _rounded(ctx, x, y, width, height, radius):
    ctx.new_sub_path()
    ctx.arc(x + width - radius, y + radius, radius, -math.pi / 2, 0)
    ctx.arc(x + width - radius, y + height - radius, radius, 0, math.pi / 2)
    ctx.arc(x + radius, y + height - radius, radius, math.pi / 2, math.pi)
    ctx.arc(x + radius, y + radius, radius, math.pi, 1.5 * math.pi)
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
    scale = size / 512.0
    small = size < 40
    line = max(1.0 / scale, 14.0 if small else 10.0)   # in 512-units
    ctx.scale(scale, scale)
    # Night backdrop.
    _rounded(ctx, 8, 8, 496, 496, 92)
    gradient = cairo.LinearGradient(0, 0, 0, 512)
    gradient.add_color_stop_rgb(0, 0.16, 0.11, 0.28)
    gradient.add_color_stop_rgb(1, 0.06, 0.04, 0.10)
    ctx.set_source(gradient)
    ctx.fill()
    # Monitor with a lit screen.
    monitor_x, monitor_y, monitor_width, monitor_height = (48, 64, 416, 300) if small else (64, 72, 384, 276)
    if not small:
        ctx.move_to(220, monitor_y + monitor_height - 4)
        ctx.line_to(292, monitor_y + monitor_height - 4)
        ctx.line_to(310, 420)
        ctx.line_to(202, 420)
        ctx.close_path()
        _set_colour(ctx, (52, 52, 66))
        ctx.fill()
        _rounded(ctx, 150, 410, 212, 34, 14)
        _set_colour(ctx, (64, 64, 80))
        ctx.fill()
    _rounded(ctx, monitor_x, monitor_y, monitor_width, monitor_height, 26)
    _set_colour(ctx, (20, 18, 30))
    ctx.fill()
    inset = 22 if small else 24
    _rounded(ctx, monitor_x + inset, monitor_y + inset, monitor_width - 2 * inset, monitor_height - 2 * inset, 10)
    gradient = cairo.LinearGradient(0, monitor_y, 0, monitor_y + monitor_height)
    gradient.add_color_stop_rgb(0, 0.45, 0.78, 0.92)
    gradient.add_color_stop_rgb(1, 0.16, 0.38, 0.62)
    ctx.set_source(gradient)
    ctx.fill()
    if not small:
        # Cracks radiating from where the hand breaks through.
        ctx.set_line_width(6)
        _set_colour(ctx, (230, 246, 255), 0.8)
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
    hand = _HAND_SMALL if small else _HAND
    ctx.move_to(*hand[0])
    for point in hand[1:]:
        ctx.line_to(*point)
    ctx.close_path()
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_line_width(line * 2)
    _set_colour(ctx, (16, 22, 12))
    ctx.stroke_preserve()
    gradient = cairo.LinearGradient(150, 0, 380, 0)
    gradient.add_color_stop_rgb(0, 0.62, 0.78, 0.45)
    gradient.add_color_stop_rgb(0.6, 0.45, 0.62, 0.32)
    gradient.add_color_stop_rgb(1, 0.30, 0.44, 0.22)
    ctx.set_source(gradient)
    ctx.fill()
    # Torn sleeve at the wrist.
    sleeve = [(180, 520), (186, 396), (204, 410), (222, 392), (246, 412), (266, 390), (290, 410),
              (312, 394), (334, 404), (336, 520)]
    ctx.move_to(*sleeve[0])
    for point in sleeve[1:]:
        ctx.line_to(*point)
    ctx.close_path()
    ctx.set_line_width(line * 2)
    _set_colour(ctx, (16, 22, 12))
    ctx.stroke_preserve()
    _set_colour(ctx, (86, 112, 150))
    ctx.fill()
    if size >= 48:
        _set_colour(ctx, (120, 24, 26))
        ctx.arc(282, 318, 16, 0, 2 * math.pi)
        ctx.fill()
    ctx.restore()
    # Thin rim so the tile reads on light and dark panels alike.
    _rounded(ctx, 8 + line / 2, 8 + line / 2, 496 - line, 496 - line, 88)
    ctx.set_line_width(line)
    _set_colour(ctx, (90, 70, 130), 0.9)
    ctx.stroke()


def render_icon(size):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, size, size)
    ctx = cairo.Context(surface)
    _draw_icon(ctx, size)
    surface.flush()
    return argb32_to_rgba(surface.get_data(), size, size, surface.get_stride())


def render_particle():
    width, height = PARTICLE_SIZE
    y, x = np.mgrid[0:height, 0:width].astype(np.float64)
    centre_x, centre_y = (width - 1) / 2.0, (height - 1) / 2.0
    radius = min(width, height) / 2.0 - 6.0
    distance = np.sqrt((x - centre_x) ** 2 + (y - centre_y) ** 2) / radius
    edge = np.clip(distance, 0.0, 1.0)
    alpha = (1.0 - edge * edge) ** 2.4
    core = np.exp(-(distance / 0.22) ** 2)
    # White-hot core through orange to a deep red rim.
    red = 255.0 - 40.0 * edge
    green = 140.0 + 100.0 * core - 60.0 * edge
    blue = 50.0 + 180.0 * core - 30.0 * edge
    out = np.empty((height, width, 4), np.uint8)
    for index, channel in enumerate((red, green, blue)):
        out[..., index] = np.clip(np.rint(channel), 0, 255).astype(np.uint8)
    alpha8 = np.clip(np.rint(alpha * 255.0), 0, 255).astype(np.uint8)
    out[..., 3] = alpha8
    out[alpha8 == 0, :3] = 0
    return out
