"""Points on the body's curved surfaces, where the outfits place their decals.

Torsos are elliptic cylinders along the chest frame and heads are spheres;
decals (tears, pouches, eyes) sit on them and fade as they turn away.
"""

import math

import cairo

from .render import (Ring, SurfacePoint, facing, outline_colour, polygon_path, set_colour)
from .vec import Frame, add, subtract, scaled, add_scaled, normalized, cross


def chest_frame(figure):
    """Upper-body frame whose z axis runs through the bent spine's upper half."""
    chest = figure.chest
    return Frame(subtract(figure.joints["spine"], scaled(chest.z, figure.body.torso_length * 0.55)),
                 chest.x, chest.y, chest.z)


def torso_point(frame, ring_height, radius_a, radius_b, angle):
    """Point on an elliptic torso ring; angle 0 faces forward."""
    cosine, sine = math.cos(angle), math.sin(angle)
    centre = frame.point(0.0, 0.0, ring_height)
    point = add(centre, frame.vector(radius_a * sine, radius_b * cosine, 0.0))
    normal = normalized(frame.vector(sine / radius_a, cosine / radius_b, 0.0))
    across = normalized(frame.vector(radius_a * cosine, -radius_b * sine, 0.0))
    return SurfacePoint(point, across, frame.z, normal)


def rings(frame, levels):
    """levels: (height, radius_a, radius_b) in the frame -> Rings."""
    return [Ring(frame.point(0.0, 0.0, height), frame.x, frame.y, radius_a, radius_b)
            for height, radius_a, radius_b in levels]


def hem_ring(centre, frame, radius_a, radius_b, round_normals=False):
    """Sixteen points round an elliptic hem and their outward normals.

    round_normals points them straight out from the centre, as on a stiff belt.
    """
    normal_a, normal_b = (1.0, 1.0) if round_normals else (radius_a, radius_b)
    points, normals = [], []
    for i in range(16):
        angle = 2 * math.pi * i / 16
        points.append(add(centre, add(scaled(frame.x, radius_a * math.cos(angle)),
                                      scaled(frame.y, radius_b * math.sin(angle)))))
        normals.append(normalized(add(scaled(frame.x, math.cos(angle) / normal_a),
                                      scaled(frame.y, math.sin(angle) / normal_b))))
    return points, normals


def sphere_point(head, radius, yaw, pitch):
    """Point on a sphere about head.origin; yaw 0 faces forward, pitch up."""
    direction = head.vector(math.sin(yaw) * math.cos(pitch), math.cos(yaw) * math.cos(pitch), math.sin(pitch))
    point = add_scaled(head.origin, direction, radius)
    across = normalized(cross(direction, head.z))
    up = cross(across, direction)
    return SurfacePoint(point, across, up, direction)


def head_band(ctx, painter, head, radius, yaw_from, yaw_to, pitch_low, pitch_high, colour, steps=12):
    """A band wrapped around the head sphere (goggles, brows)."""
    top, bottom = [], []
    for i in range(steps + 1):
        yaw = yaw_from + (yaw_to - yaw_from) * i / steps
        for edge, pitch in ((top, pitch_high), (bottom, pitch_low)):
            spot = sphere_point(head, radius, yaw, pitch)
            edge.append((spot.point, spot.normal))
    visible = [i for i in range(steps + 1) if facing(top[i][1]) > 0.0 or facing(bottom[i][1]) > 0.0]
    if len(visible) < 2:
        return
    points = ([painter.screen(top[i][0]) for i in visible]
              + [painter.screen(bottom[i][0]) for i in reversed(visible)])
    polygon_path(ctx, points)
    set_colour(ctx, outline_colour(colour))
    ctx.set_line_width(painter.outline_width * 1.4)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke_preserve()
    set_colour(ctx, colour)
    ctx.fill()
