"""Camera, projection and cairo drawing primitives.

World space: X to screen right, Y away from the viewer (screen north), Z up.
The camera is orthographic and tilted down by PITCH so ground-plane headings
read clearly while the figure stays upright.
"""

import math
from typing import NamedTuple

import cairo

from .vec import add, subtract, scaled, dot, normalized, cross, length

PITCH = math.radians(22.0)
SIN_PITCH, COS_PITCH = math.sin(PITCH), math.cos(PITCH)
CAMERA_RIGHT = (1.0, 0.0, 0.0)
CAMERA_UP = (0.0, SIN_PITCH, COS_PITCH)
TO_CAMERA = (0.0, -COS_PITCH, SIN_PITCH)
# Key light from the upper left, slightly toward the viewer; fixed in world
# space so every heading is lit by the same sun.
LIGHT = normalized((-0.55, -0.45, 0.72))

HEADINGS = {
    "E": (1.0, 0.0),
    "N": (0.0, 1.0),
    "NE": (math.sqrt(0.5), math.sqrt(0.5)),
    "NW": (-math.sqrt(0.5), math.sqrt(0.5)),
    "S": (0.0, -1.0),
    "SE": (math.sqrt(0.5), -math.sqrt(0.5)),
    "SW": (-math.sqrt(0.5), -math.sqrt(0.5)),
    "W": (-1.0, 0.0),
}

OUTLINE_TINT = (22, 16, 28)
GROUND_DEPTH = 0.3      # share of the depth offset kept at foot level


class View:
    """Maps figure-local points to world and then to frame pixels."""

    def __init__(self, heading, scale, centre_x, ground_y):
        heading_x, heading_y = HEADINGS[heading]
        self.forward = (heading_x, heading_y, 0.0)
        self.right = (heading_y, -heading_x, 0.0)
        self.scale = scale          # pixels per metre
        self.centre_x = centre_x
        self.ground_y = ground_y

    def to_world(self, local):
        """Figure-local point or direction -> world (a rotation about Z)."""
        right, forward = self.right, self.forward
        return (local[0] * right[0] + local[1] * forward[0],
                local[0] * right[1] + local[1] * forward[1], local[2])

    def screen(self, world):
        """World point -> (x, y) pixels.

        Near the ground the depth term is compressed so both feet keep to one
        ground line in every heading (as a lower camera would see them); from
        knee height up the projection is plain orthographic.
        """
        height = world[2]
        blend = min(max(height / 1.0, 0.0), 1.0)
        blend = GROUND_DEPTH + (1.0 - GROUND_DEPTH) * blend * blend * (3 - 2 * blend)
        up = world[1] * SIN_PITCH * blend + height * COS_PITCH
        return (self.centre_x + world[0] * self.scale, self.ground_y - up * self.scale)

    @staticmethod
    def depth(world):
        """Larger is farther from the camera."""
        return world[1] * COS_PITCH - world[2] * SIN_PITCH


def facing(normal):
    """How much a world-space normal faces the camera (-1..1)."""
    return dot(normal, TO_CAMERA)


def camera_coordinates(vector):
    """World vector -> (right, up, toward-camera) components."""
    return (vector[0], vector[1] * SIN_PITCH + vector[2] * COS_PITCH, dot(vector, TO_CAMERA))


# ---------------------------------------------------------------- colours

def clamp_byte(x):
    return 0 if x < 0 else (255 if x > 255 else x)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def scaled_colour(colour, factor):
    return tuple(clamp_byte(channel * factor) for channel in colour)


def outline_colour(colour):
    return mix(scaled_colour(colour, 0.28), OUTLINE_TINT, 0.55)


def lit(base, lambert):
    """Colour of a surface with Lambert term in [0, 1]: cool shadows, warm highlights."""
    shadow = mix(scaled_colour(base, 0.48), (34, 28, 66), 0.22)
    highlight = tuple(clamp_byte(channel * 1.18 + 18) for channel in base)
    brightness = 0.15 + 0.95 * lambert
    if brightness < 0.8:
        return mix(shadow, base, brightness / 0.8)
    return mix(base, highlight, min(1.0, (brightness - 0.8) / 0.3))


def set_colour(ctx, colour, alpha=1.0):
    ctx.set_source_rgba(colour[0] / 255.0, colour[1] / 255.0, colour[2] / 255.0, alpha)


def add_colour_stop(gradient, offset, colour, alpha=1.0):
    gradient.add_color_stop_rgba(offset, colour[0] / 255.0, colour[1] / 255.0, colour[2] / 255.0, alpha)


# ---------------------------------------------------------------- geometry

def capsule_outline(centre1, radius1, centre2, radius2, steps=9):
    """Outline of a tapered capsule (two circles joined by tangents)."""
    dx, dy = centre2[0] - centre1[0], centre2[1] - centre1[1]
    distance = math.hypot(dx, dy)
    if distance + min(radius1, radius2) <= max(radius1, radius2) + 1e-6:
        centre, radius = (centre1, radius1) if radius1 >= radius2 else (centre2, radius2)
        return [(centre[0] + radius * math.cos(angle), centre[1] + radius * math.sin(angle))
                for angle in (i * 2 * math.pi / (4 * steps) for i in range(4 * steps))]
    base = math.atan2(dy, dx)
    sine = max(-1.0, min(1.0, (radius1 - radius2) / distance))
    half = math.acos(sine)
    points = []
    for i in range(steps + 1):
        angle = base - half + 2 * half * i / steps
        points.append((centre2[0] + radius2 * math.cos(angle), centre2[1] + radius2 * math.sin(angle)))
    span = 2 * math.pi - 2 * half
    for i in range(steps + 1):
        angle = base + half + span * i / steps
        points.append((centre1[0] + radius1 * math.cos(angle), centre1[1] + radius1 * math.sin(angle)))
    return points


def convex_hull(points):
    """Convex hull, counter-clockwise (monotone chain)."""
    points = sorted(set(points))
    if len(points) <= 2:
        return points

    def turn(origin, a, b):
        return (a[0] - origin[0]) * (b[1] - origin[1]) - (a[1] - origin[1]) * (b[0] - origin[0])

    lower, upper = [], []
    for point in points:
        while len(lower) >= 2 and turn(lower[-2], lower[-1], point) <= 0:
            lower.pop()
        lower.append(point)
    for point in reversed(points):
        while len(upper) >= 2 and turn(upper[-2], upper[-1], point) <= 0:
            upper.pop()
        upper.append(point)
    return lower[:-1] + upper[:-1]


def polygon_path(ctx, points):
    ctx.move_to(*points[0])
    for point in points[1:]:
        ctx.line_to(*point)
    ctx.close_path()


def ellipse_ring(centre, axis_a, axis_b, radius_a, radius_b, steps=16):
    """Points of a 3-D ellipse."""
    out = []
    for i in range(steps):
        angle = 2 * math.pi * i / steps
        cosine, sine = math.cos(angle), math.sin(angle)
        out.append((centre[0] + axis_a[0] * radius_a * cosine + axis_b[0] * radius_b * sine,
                    centre[1] + axis_a[1] * radius_a * cosine + axis_b[1] * radius_b * sine,
                    centre[2] + axis_a[2] * radius_a * cosine + axis_b[2] * radius_b * sine))
    return out


class Capsule(NamedTuple):
    """A tapered limb segment between two world points."""
    start: tuple
    start_radius: float
    end: tuple
    end_radius: float
    colour: tuple


class Ring(NamedTuple):
    """An elliptic cross-section of a lofted body (torso, skirt, hair)."""
    centre: tuple
    axis_a: tuple
    axis_b: tuple
    radius_a: float
    radius_b: float


class SurfacePoint(NamedTuple):
    """A point on a body surface with its sideways and upward tangents and its normal."""
    point: tuple
    across: tuple
    up: tuple
    normal: tuple


# ---------------------------------------------------------------- shading

def cylinder_gradient(world_start, world_end, screen_start, screen_end, radius_px, base, dim=1.0):
    """Linear gradient across a limb, lit as a cylinder along world_start -> world_end."""
    axis = normalized(subtract(world_end, world_start))
    screen_axis = (screen_end[0] - screen_start[0], screen_end[1] - screen_start[1])
    screen_length = math.hypot(*screen_axis)
    if screen_length < 1e-3:
        screen_axis = (0.0, 1.0)
    else:
        screen_axis = (screen_axis[0] / screen_length, screen_axis[1] / screen_length)
    across = (-screen_axis[1], screen_axis[0])
    side = (across[0] * CAMERA_RIGHT[0] - across[1] * CAMERA_UP[0],
            across[0] * CAMERA_RIGHT[1] - across[1] * CAMERA_UP[1],
            across[0] * CAMERA_RIGHT[2] - across[1] * CAMERA_UP[2])
    if length(axis) > 0.5:
        side = normalized(subtract(side, scaled(axis, dot(side, axis))))
        front = subtract(TO_CAMERA, scaled(axis, dot(TO_CAMERA, axis)))
        front = normalized(front) if length(front) > 1e-3 else normalized(cross(axis, side))
    else:
        front = TO_CAMERA
    middle_x, middle_y = (screen_start[0] + screen_end[0]) * 0.5, (screen_start[1] + screen_end[1]) * 0.5
    gradient = cairo.LinearGradient(middle_x - across[0] * radius_px, middle_y - across[1] * radius_px,
                                    middle_x + across[0] * radius_px, middle_y + across[1] * radius_px)
    for i in range(7):
        u = -1.0 + 2.0 * i / 6
        normal = normalized(add(scaled(side, u), scaled(front, math.sqrt(max(0.0, 1 - u * u)))))
        lambert = max(0.0, dot(normal, LIGHT))
        add_colour_stop(gradient, i / 6.0, scaled_colour(lit(base, lambert), dim))
    return gradient


def sphere_gradient(centre_x, centre_y, radius_px, base, dim=1.0):
    light = camera_coordinates(LIGHT)
    highlight_x, highlight_y = centre_x + light[0] * radius_px * 0.45, centre_y - light[1] * radius_px * 0.45
    gradient = cairo.RadialGradient(highlight_x, highlight_y, radius_px * 0.05, centre_x, centre_y, radius_px * 1.12)
    add_colour_stop(gradient, 0.0, scaled_colour(lit(base, 1.0), dim))
    add_colour_stop(gradient, 0.45, scaled_colour(lit(base, 0.75), dim))
    add_colour_stop(gradient, 0.85, scaled_colour(lit(base, 0.35), dim))
    add_colour_stop(gradient, 1.0, scaled_colour(lit(base, 0.15), dim))
    return gradient


# ---------------------------------------------------------------- parts

class Part:
    """A drawable piece sorted back-to-front by (layer, depth)."""

    __slots__ = ("layer", "depth", "draw", "order")

    def __init__(self, layer, depth, draw):
        self.layer, self.depth, self.draw = layer, depth, draw
        self.order = 0


def paint(ctx, parts):
    for index, part in enumerate(parts):
        part.order = index
    for part in sorted(parts, key=lambda part: (part.layer, -part.depth, part.order)):
        part.draw(ctx)


class Painter:
    """Shared drawing state for one frame (view, outline width)."""

    def __init__(self, view, outline_width):
        self.view = view
        self.outline_width = outline_width

    def screen(self, world):
        return self.view.screen(world)

    # -- limbs
    def capsules(self, ctx, capsules, dim=1.0):
        """Outline every capsule, then fill them all, so joints merge into one limb."""
        view, scale = self.view, self.view.scale
        shapes = []
        for start, start_radius, end, end_radius, colour in capsules:
            screen_start, screen_end = view.screen(start), view.screen(end)
            outline = capsule_outline(screen_start, start_radius * scale, screen_end, end_radius * scale)
            shapes.append((outline, start, end, screen_start, screen_end,
                           max(start_radius, end_radius) * scale, colour))
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        for outline, *_rest, colour in shapes:
            polygon_path(ctx, outline)
            set_colour(ctx, outline_colour(colour))
            ctx.set_line_width(self.outline_width * 2)
            ctx.stroke_preserve()
            ctx.fill()
        for outline, start, end, screen_start, screen_end, radius_px, colour in shapes:
            polygon_path(ctx, outline)
            ctx.set_source(cylinder_gradient(start, end, screen_start, screen_end, radius_px, colour, dim))
            ctx.fill()

    # -- lofted bodies (torso, skirts, hair)
    def loft(self, ctx, rings, colour, axis_from, axis_to, dim=1.0):
        """Hull of each pair of neighbouring rings, shaded as one cylinder along the axis."""
        outlines = [[self.screen(point) for point in ellipse_ring(*ring)] for ring in rings]
        shapes = [convex_hull(outlines[i] + outlines[i + 1]) for i in range(len(outlines) - 1)]
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        set_colour(ctx, outline_colour(colour))
        ctx.set_line_width(self.outline_width * 2)
        for shape in shapes:
            polygon_path(ctx, shape)
            ctx.stroke_preserve()
            ctx.fill()
        radius_px = max(max(ring.radius_a, ring.radius_b) for ring in rings) * self.view.scale
        gradient = cylinder_gradient(axis_from, axis_to, self.screen(axis_from), self.screen(axis_to),
                                     radius_px, colour, dim)
        for shape in shapes:
            polygon_path(ctx, shape)
            ctx.set_source(gradient)
            ctx.fill()

    # -- surface decals
    def decal(self, ctx, spot, shape, colour, min_facing=0.08, outline=True):
        """Flat shape on a surface; shape in metres along spot.across and spot.up.

        Returns whether it was drawn (it is skipped when turned away from the camera).
        """
        how_much = facing(spot.normal)
        if how_much < min_facing:
            return False
        points = [self.screen(add(add(spot.point, scaled(spot.across, a)), scaled(spot.up, b)))
                  for a, b in shape]
        fade = min(1.0, (how_much - min_facing) / 0.12)
        if outline:
            polygon_path(ctx, points)
            set_colour(ctx, outline_colour(colour), fade)
            ctx.set_line_width(self.outline_width * 1.2)
            ctx.set_line_join(cairo.LINE_JOIN_ROUND)
            ctx.stroke_preserve()
        else:
            polygon_path(ctx, points)
        set_colour(ctx, colour, fade)
        ctx.fill()
        return True

    def strip(self, ctx, ring, normals, drops, colour, down):
        """Ragged hem: visible ring points, each dropped by drops[i] along down."""
        visible = [i for i in range(len(ring)) if facing(normals[i]) > -0.25]
        if len(visible) < 2:
            return
        # Visible indices form one run around the ring; rotate so it is contiguous.
        count = len(ring)
        start = next((i for i in visible if (i - 1) % count not in visible), visible[0])
        run = [(start + k) % count for k in range(len(visible))]
        top = [self.screen(ring[i]) for i in run]
        bottom = [self.screen(add(ring[i], scaled(down, drops[i]))) for i in run]
        polygon_path(ctx, top + bottom[::-1])
        set_colour(ctx, outline_colour(colour))
        ctx.set_line_width(self.outline_width * 2)
        ctx.set_line_join(cairo.LINE_JOIN_MITER)
        ctx.stroke_preserve()
        set_colour(ctx, colour)
        ctx.fill()


def fill_cap(ctx, centre_x, centre_y, radius_px, axis_world, cos_angle):
    """Fill the visible part of a spherical cap with the current source.

    The caller clips to the sphere's disk. A disk point (x, y) lies in the cap
    when d.a > cos(angle) with d = (x, y, sqrt(1 - x^2 - y^2)); that is the
    half-plane a_xy.(x, y) > k united with the projected ring ellipse when the
    pole faces the camera, or the half-plane minus the ellipse otherwise.
    """
    axis = camera_coordinates(axis_world)
    axis_x, axis_y, axis_z = axis
    k = cos_angle

    def to_pixels(x, y):
        return (centre_x + x * radius_px, centre_y - y * radius_px)

    helper = (0.0, 0.0, 1.0) if abs(axis_z) < 0.9 else (1.0, 0.0, 0.0)
    u = normalized(cross(axis, helper))
    v = cross(axis, u)
    ring_radius = math.sqrt(max(0.0, 1.0 - k * k))
    ring = []
    for i in range(48):
        angle = 2 * math.pi * i / 48
        cosine, sine = math.cos(angle), math.sin(angle)
        ring.append(to_pixels(axis_x * k + ring_radius * (u[0] * cosine + v[0] * sine),
                              axis_y * k + ring_radius * (u[1] * cosine + v[1] * sine)))
    axis_xy_length = math.hypot(axis_x, axis_y)
    half_plane = None
    if axis_xy_length > 1e-6:
        normal_x, normal_y = axis_x / axis_xy_length, axis_y / axis_xy_length
        offset = k / axis_xy_length
        along_x, along_y = -normal_y, normal_x
        foot = (normal_x * offset, normal_y * offset)
        half_plane = [to_pixels(foot[0] + along_x * 3, foot[1] + along_y * 3),
                      to_pixels(foot[0] - along_x * 3, foot[1] - along_y * 3),
                      to_pixels(foot[0] - along_x * 3 + normal_x * 4, foot[1] - along_y * 3 + normal_y * 4),
                      to_pixels(foot[0] + along_x * 3 + normal_x * 4, foot[1] + along_y * 3 + normal_y * 4)]
    elif k < 0:
        half_plane = [to_pixels(-3, -3), to_pixels(3, -3), to_pixels(3, 3), to_pixels(-3, 3)]
    if axis_z >= 0:
        polygon_path(ctx, ring)
        ctx.fill()
        if half_plane:
            polygon_path(ctx, half_plane)
            ctx.fill()
        return
    if not half_plane:
        return
    ctx.save()
    polygon_path(ctx, half_plane)
    ctx.clip()
    ctx.rectangle(centre_x - 3 * radius_px, centre_y - 3 * radius_px, 6 * radius_px, 6 * radius_px)
    polygon_path(ctx, ring)
    ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    ctx.fill()
    ctx.restore()
