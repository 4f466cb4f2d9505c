"""What the two zombies share: torn-cloth and stain shapes and the rotting face.

The outlines are fixed tables, not random, so output never varies.
"""

import math

from ..render import SurfacePoint, scaled_colour
from ..surfaces import sphere_point
from ..vec import add, add_scaled, cross, normalized, scaled

# Jagged tear and round stain outlines, unit radius.
TEAR = [(math.cos(angle) * radius, math.sin(angle) * radius * 1.25) for angle, radius in zip(
    [i * 2 * math.pi / 10 for i in range(10)], [1.0, 0.55, 0.95, 0.5, 1.05, 0.6, 0.9, 0.45, 1.0, 0.6])]
STAIN = [(math.cos(angle) * radius, math.sin(angle) * radius) for angle, radius in zip(
    [i * 2 * math.pi / 9 for i in range(9)], [1.0, 0.8, 1.1, 0.7, 0.95, 1.05, 0.75, 1.0, 0.85])]
# How far a ragged hem hangs at each of its sixteen points, in metres.
HEM_DROPS = [0.0, 0.05, 0.012, 0.07, 0.02, 0.035, 0.0, 0.06, 0.015, 0.045, 0.005, 0.065,
             0.02, 0.04, 0.0, 0.055]

SOCKET_COLOUR = (52, 30, 40)
TEETH_COLOUR = (214, 206, 170)


def sized(shape, size):
    return [(x * size, y * size) for x, y in shape]


def draw_face(ctx, figure, eye_pitch):
    """Sunken sockets with glowing eyes at eye_pitch, a dark open mouth, a gash."""
    painter, palette, head = figure.painter, figure.palette, figure.head
    radius = figure.body.head_radius
    for side in (-1, 1):
        socket = sphere_point(head, radius, side * 0.38, eye_pitch)
        socket_shape = [(0.04 * math.cos(angle), 0.03 * math.sin(angle))
                        for angle in [i * math.pi / 6 for i in range(12)]]
        if painter.decal(ctx, socket, socket_shape, SOCKET_COLOUR, min_facing=0.1, outline=False):
            eye = socket._replace(point=add(socket.point, scaled(socket.up, 0.002)))
            painter.decal(ctx, eye, [(0.018 * math.cos(angle), 0.015 * math.sin(angle))
                                     for angle in [i * math.pi / 4 for i in range(8)]],
                          palette["eye"], min_facing=0.15, outline=False)
    nose = sphere_point(head, radius, 0.0, -0.05)
    painter.decal(ctx, nose, [(-0.012, 0.02), (0.012, 0.02), (0.016, -0.018), (-0.016, -0.018)],
                  scaled_colour(palette["skin"], 0.72), min_facing=0.2, outline=False)
    jaw = head.point(0.0, 0.045, -0.07)
    mouth_point = add_scaled(jaw, head.y, radius * 0.68)
    mouth_point = add_scaled(mouth_point, head.z, 0.01)
    normal = normalized(head.vector(0.0, 1.0, -0.25))
    across = head.x
    down = normalized(cross(normal, across))
    mouth = SurfacePoint(mouth_point, across, scaled(down, -1.0), normal)
    open_mouth = [(-0.04, 0.008), (-0.015, 0.016), (0.02, 0.012), (0.042, 0.004), (0.03, -0.03),
                  (0.0, -0.042), (-0.028, -0.028)]
    if painter.decal(ctx, mouth, open_mouth, palette["mouth"], min_facing=0.12):
        painter.decal(ctx, mouth, [(-0.028, 0.006), (0.028, 0.006), (0.024, -0.004), (-0.024, -0.004)],
                      TEETH_COLOUR, min_facing=0.2, outline=False)
    gash = sphere_point(head, radius, -0.9, 0.35)
    painter.decal(ctx, gash, [(-0.03, 0.01), (0.03, -0.012), (0.028, -0.02), (-0.032, 0.002)],
                  palette["wound"], min_facing=0.05, outline=False)
