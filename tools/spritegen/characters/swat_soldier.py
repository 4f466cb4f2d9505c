"""The SWAT soldier: navy uniform, olive plate carrier, helmet and goggles.

He patrols with his rifle at low ready, and has a second animation for being
struck in the chest.
"""

import math

from ..character import Animation, Character, HairCap
from ..pose import Body, Gait, soldier_hit_pose, soldier_walk_pose
from ..render import Capsule, Ring, fill_cap, outline_colour, scaled_colour, set_colour, sphere_gradient
from ..surfaces import chest_frame, head_band, hem_ring, rings, sphere_point, torso_point
from ..vec import Frame, add, add_scaled, lerp, normalized, scaled, subtract

BODY = Body(thigh=0.45, shin=0.44, hip_width=0.10, torso_length=0.51, shoulder_width=0.20,
            head_radius=0.12)

PALETTE = {
    "skin": (216, 170, 132),
    "uniform": (50, 60, 80),
    "vest": (82, 88, 62),
    "pouch": (104, 110, 80),
    "helmet": (40, 48, 64),
    "boots": (34, 32, 34),
    "gloves": (36, 36, 38),
    "pads": (62, 66, 72),
    "goggles": (30, 34, 40),
    "lens": (120, 200, 230),
    "rifle": (58, 60, 66),
    "belt": (36, 36, 36),
    "hair": (44, 36, 30),
}
LENS_GLINT = (240, 250, 255)

WALK = Gait(stride=0.27, stance=0.62, lift=0.09, knee_bend=0.05, bob=0.016, lean=0.08,
            sway=0.018, pelvis_yaw=0.09, twist=0.9, foot_spread=0.02, toe_out=0.1,
            arms="rifle", head_pitch=0.02)
STAND = Gait(arms="rifle")


def leg_capsules(leg, palette):
    """Uniform trousers into boots, with a pad over the knee."""
    boot_top = lerp(leg.knee, leg.ankle, 0.55)
    down_shin = normalized(subtract(leg.ankle, leg.knee))
    toes_forward = normalized(subtract(leg.toe, leg.heel))
    pad = add_scaled(add_scaled(leg.knee, toes_forward, 0.035), down_shin, 0.03)
    return [Capsule(leg.hip, 0.09, leg.knee, 0.07, palette["uniform"]),
            Capsule(leg.knee, 0.068, boot_top, 0.062, palette["uniform"]),
            Capsule(boot_top, 0.064, leg.ankle, 0.056, palette["boots"]),
            Capsule(leg.heel, 0.052, leg.toe, 0.046, palette["boots"]),
            Capsule(pad, 0.058, add_scaled(pad, down_shin, 0.06), 0.05, palette["pads"])]


def arm_capsules(arm, palette):
    """Long sleeves and gloves."""
    return ([Capsule(arm.shoulder, 0.066, arm.elbow, 0.055, palette["uniform"])],
            [Capsule(arm.elbow, 0.055, arm.wrist, 0.045, palette["uniform"]),
             Capsule(arm.wrist, 0.046, arm.hand, 0.04, palette["gloves"])])


def draw_torso(ctx, figure):
    """Uniform, belt, then a plate carrier boxier than the body, with pouches front and back."""
    painter, palette, pelvis, chest = figure.painter, figure.palette, figure.pelvis, figure.chest
    spine, neck = figure.joints["spine"], figure.joints["neck"]
    hips = rings(pelvis, [(-0.10, 0.16, 0.115), (0.08, 0.155, 0.11)])
    painter.loft(ctx, hips, palette["uniform"], pelvis.point(0, 0, -0.1), pelvis.point(0, 0, 0.1))
    chest_at_spine = Frame(spine, chest.x, chest.y, chest.z)
    shirt = [Ring(pelvis.point(0, 0, 0.04), pelvis.x, pelvis.y, 0.158, 0.112),
             Ring(spine, chest.x, chest.y, 0.17, 0.12),
             Ring(subtract(neck, scaled(chest.z, 0.045)), chest.x, chest.y,
                  figure.body.shoulder_width + 0.035, 0.10)]
    painter.loft(ctx, shirt, palette["uniform"], pelvis.point(0, 0, 0.0), neck)
    belt, normals = hem_ring(pelvis.point(0, 0, 0.06), pelvis, 0.163, 0.117, round_normals=True)
    painter.strip(ctx, belt, normals, [0.045] * 16, palette["belt"], scaled(pelvis.z, -1.0))
    vest = [Ring(pelvis.point(0, 0, 0.12), chest.x, chest.y, 0.178, 0.138),
            Ring(chest_at_spine.point(0, 0, 0.05), chest.x, chest.y, 0.19, 0.148),
            Ring(chest_at_spine.point(0, 0, 0.17), chest.x, chest.y, 0.17, 0.135)]
    painter.loft(ctx, vest, palette["vest"], pelvis.point(0, 0, 0.1), chest_at_spine.point(0, 0, 0.18))
    torso = chest_frame(figure)
    for angle in (-0.42, 0.0, 0.42):
        spot = torso_point(torso, 0.20, 0.185, 0.145, angle)
        spot = spot._replace(point=add(spot.point, scaled(spot.normal, 0.012)))
        painter.decal(ctx, spot, [(-0.035, -0.045), (0.035, -0.045), (0.035, 0.04), (-0.035, 0.04)],
                      palette["pouch"])
    for angle in (math.pi - 0.35, math.pi + 0.35):
        spot = torso_point(torso, 0.26, 0.185, 0.145, angle)
        painter.decal(ctx, spot, [(-0.05, -0.06), (0.05, -0.06), (0.05, 0.06), (-0.05, 0.06)],
                      palette["pouch"])


def draw_face(ctx, figure):
    """Goggle strap all round, lenses in front, then the mouth."""
    painter, palette, head = figure.painter, figure.palette, figure.head
    radius = figure.body.head_radius
    head_band(ctx, painter, head, radius * 1.01, -math.pi, math.pi, 0.05, 0.24, palette["goggles"], steps=24)
    for side in (-1, 1):
        lens = sphere_point(head, radius * 1.03, side * 0.36, 0.14)
        lens_shape = [(0.036 * math.cos(angle), 0.026 * math.sin(angle))
                      for angle in [i * math.pi / 6 for i in range(12)]]
        if painter.decal(ctx, lens, lens_shape, palette["lens"], min_facing=0.12):
            glint = lens._replace(point=add(lens.point, scaled(lens.across, -0.01)))
            painter.decal(ctx, glint, [(0.012 * math.cos(angle) - 0.008, 0.008 * math.sin(angle) + 0.008)
                                       for angle in [i * math.pi / 4 for i in range(8)]],
                          LENS_GLINT, min_facing=0.2, outline=False)
    mouth = sphere_point(head, radius, 0.0, -0.42)
    painter.decal(ctx, mouth, [(-0.025, 0.0), (0.025, 0.0), (0.02, -0.008), (-0.02, -0.008)],
                  scaled_colour(palette["skin"], 0.55), min_facing=0.15, outline=False)


def draw_helmet(ctx, figure):
    """A shell larger than the head, its rim low at the back, with side rails and a front mount."""
    painter, view, head = figure.painter, figure.view, figure.head
    radius = figure.body.head_radius * 1.22
    centre = head.point(0.0, -0.015, 0.03)
    centre_px = view.screen(centre)
    radius_px = radius * view.scale
    axis = normalized(head.vector(0.0, -0.22, 1.0))
    colour = figure.palette["helmet"]
    rim = 1.42
    ctx.save()
    ctx.arc(centre_px[0], centre_px[1], radius_px + painter.outline_width, 0, 2 * math.pi)
    ctx.clip()
    set_colour(ctx, outline_colour(colour))
    fill_cap(ctx, centre_px[0], centre_px[1], radius_px + painter.outline_width, axis, math.cos(rim))
    ctx.restore()
    ctx.save()
    ctx.arc(centre_px[0], centre_px[1], radius_px, 0, 2 * math.pi)
    ctx.clip()
    ctx.set_source(sphere_gradient(centre_px[0], centre_px[1], radius_px, colour))
    fill_cap(ctx, centre_px[0], centre_px[1], radius_px, axis,
             math.cos(rim - painter.outline_width * 1.2 / radius_px))
    ctx.restore()
    shell = Frame(centre, head.x, head.y, head.z)
    for side in (-1, 1):
        rail = sphere_point(shell, radius, side * 1.45, 0.15)
        painter.decal(ctx, rail, [(-0.05, -0.012), (0.05, -0.012), (0.05, 0.012), (-0.05, 0.012)],
                      scaled_colour(colour, 0.7), min_facing=0.05)
    mount = sphere_point(shell, radius, 0.0, 0.55)
    painter.decal(ctx, mount, [(-0.022, -0.015), (0.022, -0.015), (0.018, 0.018), (-0.018, 0.018)],
                  scaled_colour(colour, 0.6), min_facing=0.05)


CHARACTER = Character(
    name="swat_soldier",
    body=BODY,
    palette=PALETTE,
    pixels_per_metre=110.0,
    outline_width=2.3,
    animations=(
        Animation("walk", first_id=233, frame_count=25, frame_width=250, frame_height=250,
                  gait=WALK, motion=soldier_walk_pose, taller={}),
        Animation("hit", first_id=241, frame_count=36, frame_width=250, frame_height=250,
                  gait=STAND, motion=soldier_hit_pose, taller={"N": 280}),
    ),
    leg_capsules=leg_capsules,
    arm_capsules=arm_capsules,
    draw_torso=draw_torso,
    neck_radius=0.052,
    hair_cap=HairCap(tilt=1.25, angular_radius=1.6),
    draw_face=draw_face,
    draw_headgear=draw_helmet,
)
