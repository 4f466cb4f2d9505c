"""Turns a posed skeleton plus a Character into sorted drawable parts.

What every figure has (shadow, legs, arms, head, a carried rifle) is placed
and depth-sorted here; the Character's fields say how each piece looks.
"""

import math
from dataclasses import dataclass
from typing import Mapping, NamedTuple

import cairo

from .pose import SIDES, Body, Rifle
from .render import (TO_CAMERA, Capsule, Painter, Part, View, capsule_outline, facing, fill_cap, lit,
                     outline_colour, polygon_path, set_colour, sphere_gradient)
from .surfaces import sphere_point
from .vec import Frame, add, add_scaled, dot, lerp, normalized, scaled


class Leg(NamedTuple):
    hip: tuple
    knee: tuple
    ankle: tuple
    heel: tuple
    toe: tuple


class Arm(NamedTuple):
    shoulder: tuple
    elbow: tuple
    wrist: tuple
    hand: tuple


@dataclass(frozen=True)
class PosedFigure:
    """One frame's figure in world space: what the outfit's drawing functions work from."""
    painter: Painter
    view: View
    body: Body
    palette: Mapping
    joints: dict            # joint name -> world point
    pelvis: Frame
    chest: Frame
    head: Frame
    hair_lag: tuple


def _to_world_frame(view, frame):
    return Frame(view.to_world(frame.origin), view.to_world(frame.x), view.to_world(frame.y),
                 view.to_world(frame.z))


def _far_side_dim(depth, reference):
    """Far-side limbs are darkened a little so they separate from near ones."""
    behind = (depth - reference) / 0.14
    behind = min(max(behind, 0.0), 1.0)
    return 1.0 - 0.2 * behind


def _shadow(view):
    """Soft ground shadow under the figure."""
    def draw(ctx):
        centre_x, centre_y = view.screen((0.0, 0.0, 0.0))
        radius_x = 0.36 * view.scale
        radius_y = radius_x * 0.42
        ctx.save()
        ctx.translate(centre_x, centre_y)
        ctx.scale(1.0, radius_y / radius_x)
        gradient = cairo.RadialGradient(0, 0, 0, 0, 0, radius_x)
        gradient.add_color_stop_rgba(0.0, 0.05, 0.03, 0.08, 0.42)
        gradient.add_color_stop_rgba(0.6, 0.05, 0.03, 0.08, 0.22)
        gradient.add_color_stop_rgba(1.0, 0.05, 0.03, 0.08, 0.0)
        ctx.set_source(gradient)
        ctx.arc(0, 0, radius_x, 0, 2 * math.pi)
        ctx.fill()
        ctx.restore()
    return draw


def _capsules(painter, capsules, dim):
    return lambda ctx: painter.capsules(ctx, capsules, dim)


def build(view, character, pose):
    """Every part of one frame, in the order paint() breaks depth ties."""
    painter = Painter(view, character.outline_width)
    palette = character.palette
    joints = {name: view.to_world(point) for name, point in pose.joints.items()}
    figure = PosedFigure(painter, view, character.body, palette, joints,
                         _to_world_frame(view, pose.pelvis), _to_world_frame(view, pose.chest),
                         _to_world_frame(view, pose.head), pose.hair_lag)
    torso_depth = view.depth(joints["spine"])
    parts = [Part(-1, 0.0, _shadow(view))]

    for side, _sign in SIDES:
        leg = Leg(*(joints[joint + "_" + side] for joint in Leg._fields))
        capsules = character.leg_capsules(leg, palette)
        dim = _far_side_dim(view.depth(leg.hip), view.depth(joints["pelvis"]))
        parts.append(Part(0, view.depth(lerp(leg.hip, leg.ankle, 0.5)), _capsules(painter, capsules, dim)))

    parts.append(Part(1, torso_depth, lambda ctx: character.draw_torso(ctx, figure)))

    # Upper arm and forearm are sorted separately so a forearm can cross in
    # front of the chest while its upper arm stays behind it. Each is keyed by
    # its outer joint: an arm reaching away from the camera stays behind the
    # head, one reaching toward it comes in front.
    for side, _sign in SIDES:
        arm = Arm(*(joints[joint + "_" + side] for joint in Arm._fields))
        dim = _far_side_dim(view.depth(arm.shoulder), torso_depth)
        upper_arm, forearm = character.arm_capsules(arm, palette)
        parts.append(Part(1, view.depth(arm.elbow) - 0.04, _capsules(painter, upper_arm, dim)))
        parts.append(Part(1, view.depth(arm.wrist) - 0.03, _capsules(painter, forearm, dim)))

    if pose.rifle is not None:
        rifle = Rifle(*(view.to_world(vector) for vector in pose.rifle))
        parts.append(Part(1, view.depth(rifle.guard) - 0.02,
                          lambda ctx: _draw_rifle(ctx, painter, palette["rifle"], rifle)))

    head_depth = view.depth(figure.head.origin)
    parts.append(Part(1, head_depth, lambda ctx: _draw_head(ctx, figure, character)))
    if character.long_hair_rings is not None:
        hair = character.long_hair_rings(figure)
        # Long hair hangs on the back: behind the body when the back faces away,
        # over the head when it faces the camera, between the two side-on.
        back = scaled(figure.head.y, -1.0)
        away = dot(back, (0.0, -TO_CAMERA[1], -TO_CAMERA[2]))
        hair_depth = head_depth + 0.02 + 0.3 * away
        parts.append(Part(1, hair_depth,
                          lambda ctx: painter.loft(ctx, hair, palette["hair"], hair[-1].centre, hair[0].centre)))
    return parts


def _draw_rifle(ctx, painter, colour, rifle):
    direction, up = rifle.direction, rifle.up
    receiver = add_scaled(rifle.butt, direction, 0.16)
    magazine = add_scaled(rifle.butt, direction, 0.33)
    fore_end = add_scaled(rifle.guard, direction, 0.08)
    sight = add_scaled(receiver, up, 0.045)
    painter.capsules(ctx, [
        Capsule(add_scaled(rifle.butt, up, -0.02), 0.034, receiver, 0.026, colour),
        Capsule(receiver, 0.034, fore_end, 0.03, colour),
        Capsule(fore_end, 0.014, rifle.muzzle, 0.012, colour),
        Capsule(magazine, 0.024, add(add_scaled(magazine, up, -0.13), scaled(direction, 0.03)), 0.022, colour),
        Capsule(sight, 0.016, add_scaled(sight, direction, 0.1), 0.016, colour),
    ])


def _draw_head(ctx, figure, character):
    """Neck, skull, ears, then the face and hair cap clipped to the skull, then any headgear."""
    painter, view, palette, head = figure.painter, figure.view, figure.palette, figure.head
    scale = view.scale
    radius = figure.body.head_radius
    neck = character.neck_radius
    painter.capsules(ctx, [Capsule(figure.joints["neck"], neck, figure.joints["neck_top"], neck * 0.9,
                                   palette["skin"])])
    jaw = head.point(0.0, 0.045, -0.07)
    centre_px, jaw_px = view.screen(head.origin), view.screen(jaw)
    radius_px, jaw_radius_px = radius * scale, radius * 0.72 * scale
    silhouette = capsule_outline(centre_px, radius_px, jaw_px, jaw_radius_px, steps=14)
    polygon_path(ctx, silhouette)
    set_colour(ctx, outline_colour(palette["skin"]))
    ctx.set_line_width(painter.outline_width * 2)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke_preserve()
    ctx.fill()
    # Ears sit under the outline pass so they read as bumps.
    for side in (-1, 1):
        ear = sphere_point(head, radius * 0.96, side * math.pi / 2, -0.1)
        if facing(ear.normal) > -0.3:
            ear_px = view.screen(ear.point)
            ctx.arc(ear_px[0], ear_px[1], radius * 0.28 * scale + painter.outline_width, 0, 2 * math.pi)
            set_colour(ctx, outline_colour(palette["skin"]))
            ctx.fill()
            ctx.arc(ear_px[0], ear_px[1], radius * 0.28 * scale, 0, 2 * math.pi)
            set_colour(ctx, lit(palette["skin"], 0.4))
            ctx.fill()
    polygon_path(ctx, silhouette)
    ctx.set_source(sphere_gradient(centre_px[0], centre_px[1], radius_px, palette["skin"]))
    ctx.fill()

    ctx.save()
    polygon_path(ctx, silhouette)
    ctx.clip()
    character.draw_face(ctx, figure)
    cap = character.hair_cap
    axis = normalized(head.vector(0.0, -math.sin(cap.tilt), math.cos(cap.tilt)))
    set_colour(ctx, outline_colour(palette["hair"]))
    fill_cap(ctx, centre_px[0], centre_px[1], radius_px, axis, math.cos(cap.angular_radius + 0.08))
    ctx.set_source(sphere_gradient(centre_px[0], centre_px[1], radius_px, palette["hair"]))
    fill_cap(ctx, centre_px[0], centre_px[1], radius_px, axis, math.cos(cap.angular_radius))
    ctx.restore()
    if character.draw_headgear is not None:
        character.draw_headgear(ctx, figure)
