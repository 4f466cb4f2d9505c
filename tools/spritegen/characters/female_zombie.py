"""The female zombie: pale skin, a torn plum dress and long auburn hair.

She walks dragging her right foot with her head tilted, one arm reaching and
the other limp, and runs with her hair streaming behind.
"""

import math

from ..character import Animation, Character, HairCap
from ..pose import Body, Gait, gait_pose
from ..render import Capsule, Ring, scaled_colour
from ..surfaces import chest_frame, hem_ring, torso_point
from ..vec import add, add_scaled, dot, lerp, scaled, subtract
from . import zombie

BODY = Body(thigh=0.41, shin=0.40, hip_width=0.09, torso_length=0.46, neck_length=0.075,
            head_radius=0.118, shoulder_width=0.165, upper_arm=0.27, forearm=0.24,
            hand_length=0.09, toe_length=0.14)
LEG_THICKNESS = 0.86        # slimmer legs than the male's

PALETTE = {
    "skin": (160, 178, 150),
    "dress": (140, 52, 96),
    "shoes": (62, 34, 48),
    "hair": (128, 48, 30),
    "blood": (108, 20, 26),
    "wound": (156, 66, 70),
    "eye": (255, 214, 120),
    "mouth": (46, 10, 18),
}

WALK = Gait(stride=0.19, stance=0.66, lift=0.09, knee_bend=0.035, bob=0.015, lean=0.10,
            hunch=0.12, sway=0.035, roll=0.05, pelvis_yaw=0.14, twist=0.6,
            toe_out=0.05, arms="reach_one", head_pitch=0.15, head_roll=-0.28,
            limp=0.8, hair_flow=0.02)
RUN = Gait(stride=0.36, stance=0.40, lift=0.15, knee_bend=0.08, bob=0.04, run=True,
           lean=0.30, hunch=0.10, sway=0.035, roll=0.08, pelvis_yaw=0.2, twist=0.8,
           arms="pump", arm_swing=0.75, elbow=0.75, head_pitch=0.05, head_roll=-0.15,
           back_kick=0.25, hair_flow=0.12)


def leg_capsules(leg, palette):
    """Bare legs under the skirt."""
    return [Capsule(leg.hip, 0.082 * LEG_THICKNESS, leg.knee, 0.056 * LEG_THICKNESS, palette["skin"]),
            Capsule(leg.knee, 0.056 * LEG_THICKNESS, leg.ankle, 0.036, palette["skin"]),
            Capsule(leg.heel, 0.04, leg.toe, 0.034, palette["shoes"])]


def arm_capsules(arm, palette):
    """Bare arms."""
    return ([Capsule(arm.shoulder, 0.05, arm.elbow, 0.04, palette["skin"])],
            [Capsule(arm.elbow, 0.04, arm.wrist, 0.031, palette["skin"]),
             Capsule(arm.wrist, 0.034, arm.hand, 0.029, palette["skin"])])


def draw_torso(ctx, figure):
    """A skirt from the waist to below the knees, its ragged hem, then the bodice."""
    painter, palette, pelvis, chest = figure.painter, figure.palette, figure.pelvis, figure.chest
    spine, neck = figure.joints["spine"], figure.joints["neck"]
    # The skirt widens to cover both legs wherever the knees are.
    left_knee, right_knee = figure.joints["knee_left"], figure.joints["knee_right"]
    between_knees = lerp(left_knee, right_knee, 0.5)
    knees_apart_x = abs(dot(subtract(left_knee, right_knee), pelvis.x)) * 0.5
    knees_apart_y = abs(dot(subtract(left_knee, right_knee), pelvis.y)) * 0.5
    hem_centre = (between_knees[0], between_knees[1], between_knees[2] - 0.04)
    waist = pelvis.point(0, 0, 0.10)
    hip = pelvis.point(0, 0, -0.08)
    hem_radius_a = max(0.20, knees_apart_x + 0.10)
    hem_radius_b = max(0.17, knees_apart_y + 0.09)
    skirt = [Ring(waist, pelvis.x, pelvis.y, 0.13, 0.10), Ring(hip, pelvis.x, pelvis.y, 0.17, 0.13),
             Ring(hem_centre, pelvis.x, pelvis.y, hem_radius_a, hem_radius_b)]
    bodice = [Ring(waist, pelvis.x, pelvis.y, 0.13, 0.10),
              Ring(add(spine, scaled(chest.z, 0.06)), chest.x, chest.y, 0.15, 0.11),
              Ring(subtract(neck, scaled(chest.z, 0.04)), chest.x, chest.y,
                   figure.body.shoulder_width + 0.02, 0.085)]
    painter.loft(ctx, skirt, palette["dress"], waist, hem_centre)
    hem, normals = hem_ring(hem_centre, pelvis, hem_radius_a, hem_radius_b)
    drops = [zombie.HEM_DROPS[(i * 5) % 16] * 1.3 for i in range(16)]
    painter.strip(ctx, hem, normals, drops, scaled_colour(palette["dress"], 0.92), (0.0, 0.0, -1.0))
    painter.loft(ctx, bodice, palette["dress"], waist, neck)
    # Scoop neckline, a tear and a stain.
    torso = chest_frame(figure)
    neckline = torso_point(torso, figure.body.torso_length - 0.08, 0.15, 0.095, 0.0)
    painter.decal(ctx, neckline, [(0.07 * math.cos(angle), -0.06 * math.sin(angle) + 0.02)
                                  for angle in [i * math.pi / 8 for i in range(9)]],
                  palette["skin"], outline=False)
    for height, angle, size, colour, shape in ((0.16, -0.6, 0.04, palette["skin"], zombie.TEAR),
                                               (0.24, 0.7, 0.045, palette["blood"], zombie.STAIN),
                                               (0.20, 3.3, 0.04, palette["skin"], zombie.TEAR)):
        spot = torso_point(torso, height, 0.14, 0.105, angle)
        painter.decal(ctx, spot, zombie.sized(shape, size), colour)


def draw_face(ctx, figure):
    zombie.draw_face(ctx, figure, eye_pitch=0.14)


def long_hair_rings(figure):
    """Long hair: a dome over the crown, full at the nape, tapering to a rounded tip."""
    head, chest = figure.head, figure.chest
    radius = figure.body.head_radius
    lag_sideways, lag_back, _ = figure.hair_lag
    back = scaled(head.y, -1.0)
    chest_back = scaled(chest.y, -1.0)
    flow = -lag_back            # positive streams backwards
    swing = scaled(chest.x, lag_sideways)
    crown = add_scaled(add_scaled(head.origin, head.z, radius * 0.55), back, 0.01)
    skull = add_scaled(head.origin, back, 0.02)
    nape = add_scaled(add(figure.joints["neck_top"], scaled(chest.z, -0.02)), back, 0.055)
    shoulders = add(add_scaled(add_scaled(figure.joints["neck"], chest_back, 0.085 + flow * 0.5), chest.z, -0.11),
                    swing)
    tip = add(add_scaled(add_scaled(shoulders, chest.z, -0.05), chest_back, flow * 0.4), scaled(swing, 0.4))
    return [Ring(crown, head.x, head.y, radius * 0.8, radius * 0.8),
            Ring(skull, head.x, head.y, radius * 1.12, radius * 1.08),
            Ring(nape, chest.x, chest.y, radius * 1.32, radius * 0.72),
            Ring(shoulders, chest.x, chest.y, radius * 1.2, radius * 0.4),
            Ring(tip, chest.x, chest.y, radius * 0.6, radius * 0.22)]


CHARACTER = Character(
    name="female_zombie",
    body=BODY,
    palette=PALETTE,
    pixels_per_metre=100.0,
    outline_width=2.0,
    animations=(
        Animation("run", first_id=201, frame_count=25, frame_width=200, frame_height=200,
                  gait=RUN, motion=gait_pose, taller={"N": 205, "NE": 205}),
        Animation("walk", first_id=209, frame_count=36, frame_width=200, frame_height=200,
                  gait=WALK, motion=gait_pose, taller={"N": 220}),
    ),
    leg_capsules=leg_capsules,
    arm_capsules=arm_capsules,
    draw_torso=draw_torso,
    neck_radius=0.044,
    hair_cap=HairCap(tilt=0.3, angular_radius=1.42),
    draw_face=draw_face,
    long_hair_rings=long_hair_rings,
)
