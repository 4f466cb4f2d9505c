"""The cast: proportions, palettes and gaits.

Palettes are chosen so the three read apart at 100-125 px: the male is
green skin over a faded blue shirt and brown trousers, the female a plum
dress with auburn hair and pale skin, the soldier dark navy and olive with
a tan face under a helmet.
"""

from dataclasses import dataclass, field

from pose import Body, Gait


@dataclass(frozen=True)
class Look:
    kind: str                    # male | female | soldier
    palette: dict = field(default_factory=dict)
    zombie: bool = True
    limb: float = 1.0            # limb thickness factor


MALE_BODY = Body()
FEMALE_BODY = Body(thigh=0.41, shin=0.40, hip_w=0.09, torso_len=0.46, neck_len=0.075,
                   head_r=0.118, shoulder_w=0.165, upper_arm=0.27, forearm=0.24,
                   hand_len=0.09, toe_len=0.14)
SOLDIER_BODY = Body(thigh=0.45, shin=0.44, hip_w=0.10, torso_len=0.51, shoulder_w=0.20,
                    head_r=0.12)

MALE = Look("male", {
    "skin": (124, 152, 98),
    "shirt": (104, 136, 170),
    "pants": (96, 74, 56),
    "shoes": (58, 46, 40),
    "hair": (54, 46, 40),
    "blood": (112, 22, 24),
    "wound": (150, 58, 54),
    "eye": (246, 236, 140),
    "mouth": (44, 10, 14),
})

FEMALE = Look("female", {
    "skin": (160, 178, 150),
    "dress": (140, 52, 96),
    "shoes": (62, 34, 48),
    "hair": (128, 48, 30),
    "blood": (108, 20, 26),
    "wound": (156, 66, 70),
    "eye": (255, 214, 120),
    "mouth": (46, 10, 18),
}, limb=0.86)

SOLDIER = Look("soldier", {
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
}, zombie=False)

# Male shamble: bent knees, wide lurching gait, arms reaching forward.
MALE_WALK = Gait(stride=0.22, stance=0.64, lift=0.07, knee_bend=0.035, bob=0.02, lean=0.16,
                 hunch=0.22, sway=0.045, roll=0.09, pelvis_yaw=0.16, twist=0.5,
                 foot_spread=0.05, toe_out=0.18, arms="reach", head_pitch=0.12,
                 head_roll=0.16, head_jut=0.04)
MALE_RUN = Gait(stride=0.42, stance=0.40, lift=0.16, knee_bend=0.09, bob=0.045, run=True,
                lean=0.38, hunch=0.18, sway=0.03, roll=0.06, pelvis_yaw=0.22, twist=0.8,
                foot_spread=0.02, toe_out=0.1, arms="pump", arm_swing=0.8, elbow=0.8,
                head_pitch=0.05, head_roll=0.06, head_jut=0.05, back_kick=0.22)
# Female: dragging right foot, tilted head, one arm reaching, the other limp.
FEMALE_WALK = Gait(stride=0.19, stance=0.66, lift=0.09, knee_bend=0.035, bob=0.015, lean=0.10,
                   hunch=0.12, sway=0.035, roll=0.05, pelvis_yaw=0.14, twist=0.6,
                   toe_out=0.05, arms="reach_one", head_pitch=0.15, head_roll=-0.28,
                   limp=0.8, hair_flow=0.02)
FEMALE_RUN = Gait(stride=0.36, stance=0.40, lift=0.15, knee_bend=0.08, bob=0.04, run=True,
                  lean=0.30, hunch=0.10, sway=0.035, roll=0.08, pelvis_yaw=0.2, twist=0.8,
                  arms="pump", arm_swing=0.75, elbow=0.75, head_pitch=0.05, head_roll=-0.15,
                  back_kick=0.25, hair_flow=0.12)
SOLDIER_WALK = Gait(stride=0.27, stance=0.62, lift=0.09, knee_bend=0.05, bob=0.016, lean=0.08,
                    sway=0.018, pelvis_yaw=0.09, twist=0.9, foot_spread=0.02, toe_out=0.1,
                    arms="rifle", head_pitch=0.02)
SOLDIER_STAND = Gait(arms="rifle")
