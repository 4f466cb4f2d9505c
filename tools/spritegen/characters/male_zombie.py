"""The male zombie: green skin, a torn blue shirt over brown trousers.

He shambles with bent knees and a wide lurch, both arms reaching forward,
and runs pumping his arms.
"""

from ..character import Animation, Character, HairCap
from ..pose import Body, Gait, gait_pose
from ..render import Capsule, Ring
from ..surfaces import chest_frame, hem_ring, rings, torso_point
from ..vec import Frame, lerp, scaled, subtract
from . import zombie

BODY = Body()

PALETTE = {
    "skin": (124, 152, 98),
    "shirt": (104, 136, 170),
    "trousers": (96, 74, 56),
    "shoes": (58, 46, 40),
    "hair": (54, 46, 40),
    "blood": (112, 22, 24),
    "wound": (150, 58, 54),
    "eye": (246, 236, 140),
    "mouth": (44, 10, 14),
}

WALK = Gait(stride=0.22, stance=0.64, lift=0.07, knee_bend=0.035, bob=0.02, lean=0.16,
            hunch=0.22, sway=0.045, roll=0.09, pelvis_yaw=0.16, twist=0.5,
            foot_spread=0.05, toe_out=0.18, arms="reach", head_pitch=0.12,
            head_roll=0.16, head_jut=0.04)
RUN = Gait(stride=0.42, stance=0.40, lift=0.16, knee_bend=0.09, bob=0.045, run=True,
           lean=0.38, hunch=0.18, sway=0.03, roll=0.06, pelvis_yaw=0.22, twist=0.8,
           foot_spread=0.02, toe_out=0.1, arms="pump", arm_swing=0.8, elbow=0.8,
           head_pitch=0.05, head_roll=0.06, head_jut=0.05, back_kick=0.22)


def leg_capsules(leg, palette):
    """Trousers rolled up above bare ankles."""
    shin_middle = lerp(leg.knee, leg.ankle, 0.82)
    return [Capsule(leg.hip, 0.088, leg.knee, 0.068, palette["trousers"]),
            Capsule(leg.knee, 0.066, shin_middle, 0.058, palette["trousers"]),
            Capsule(shin_middle, 0.06, leg.ankle, 0.04, palette["skin"]),
            Capsule(leg.heel, 0.046, leg.toe, 0.04, palette["shoes"])]


def arm_capsules(arm, palette):
    """Short sleeves."""
    sleeve_end = lerp(arm.shoulder, arm.elbow, 0.5)
    upper_arm = [Capsule(arm.shoulder, 0.06, sleeve_end, 0.056, palette["shirt"]),
                 Capsule(sleeve_end, 0.05, arm.elbow, 0.046, palette["skin"])]
    forearm = [Capsule(arm.elbow, 0.046, arm.wrist, 0.036, palette["skin"]),
               Capsule(arm.wrist, 0.04, arm.hand, 0.034, palette["skin"])]
    return upper_arm, forearm


def draw_torso(ctx, figure):
    """Trousered hips, then the shirt with a ragged hem, tears and old blood."""
    painter, palette, pelvis, chest = figure.painter, figure.palette, figure.pelvis, figure.chest
    hips = rings(pelvis, [(-0.10, 0.155, 0.11), (0.08, 0.15, 0.105)])
    painter.loft(ctx, hips, palette["trousers"], pelvis.point(0, 0, -0.1), pelvis.point(0, 0, 0.1))
    spine, neck = figure.joints["spine"], figure.joints["neck"]
    chest_at_spine = Frame(spine, chest.x, chest.y, chest.z)
    shirt = [Ring(pelvis.point(0, 0, 0.02), pelvis.x, pelvis.y, 0.162, 0.118),
             Ring(spine, chest.x, chest.y, 0.168, 0.118),
             Ring(chest_at_spine.point(0, 0, 0.14), chest.x, chest.y, 0.19, 0.12),
             Ring(subtract(neck, scaled(chest.z, 0.045)), chest.x, chest.y, figure.body.shoulder_width + 0.03, 0.095)]
    painter.loft(ctx, shirt, palette["shirt"], pelvis.point(0, 0, 0.0), neck)
    # Ragged hem hanging over the trousers.
    hem, normals = hem_ring(pelvis.point(0, 0, 0.02), pelvis, 0.164, 0.12)
    painter.strip(ctx, hem, normals, zombie.HEM_DROPS, palette["shirt"], scaled(pelvis.z, -1.0))
    for height, angle, size, colour, shape in ((0.20, 0.5, 0.045, palette["skin"], zombie.TEAR),
                                               (0.30, -0.9, 0.035, palette["skin"], zombie.TEAR),
                                               (0.12, 2.7, 0.04, palette["skin"], zombie.TEAR),
                                               (0.33, 0.15, 0.04, palette["blood"], zombie.STAIN),
                                               (0.26, 3.5, 0.05, palette["blood"], zombie.STAIN)):
        spot = torso_point(chest_frame(figure), height, 0.172, 0.122, angle)
        painter.decal(ctx, spot, zombie.sized(shape, size), colour)


def draw_face(ctx, figure):
    zombie.draw_face(ctx, figure, eye_pitch=0.12)


CHARACTER = Character(
    name="male_zombie",
    body=BODY,
    palette=PALETTE,
    pixels_per_metre=112.0,
    outline_width=2.3,
    animations=(
        Animation("run", first_id=217, frame_count=25, frame_width=250, frame_height=250,
                  gait=RUN, motion=gait_pose, taller={}),
        Animation("walk", first_id=225, frame_count=35, frame_width=250, frame_height=250,
                  gait=WALK, motion=gait_pose, taller={}),
    ),
    leg_capsules=leg_capsules,
    arm_capsules=arm_capsules,
    draw_torso=draw_torso,
    neck_radius=0.055,
    hair_cap=HairCap(tilt=0.55, angular_radius=1.4),
    draw_face=draw_face,
)
