"""Articulated skeleton posing.

Poses are built in the figure's own space: x to its right, y forward (the
heading), z up, origin on the ground under the pelvis. The figure moves on a
treadmill: stance feet slide backwards at constant speed, so the sprite can
be translated at a steady pace by the program.

Every motion is a function of phase t in [0, 1); t = frame / frame_count,
so the last frame flows straight into the first.
"""

import math
from dataclasses import dataclass, field

from vec import Frame, add, sub, mul, madd, norm, rot_axis, two_bone, smoothstep, lerp

TAU = 2.0 * math.pi


@dataclass(frozen=True)
class Body:
    thigh: float = 0.44
    shin: float = 0.43
    ankle_h: float = 0.085
    hip_w: float = 0.095
    torso_len: float = 0.50      # pelvis centre to neck base
    neck_len: float = 0.07
    head_r: float = 0.125
    shoulder_w: float = 0.19
    upper_arm: float = 0.29
    forearm: float = 0.26
    hand_len: float = 0.10
    toe_len: float = 0.16
    heel_len: float = 0.05


@dataclass(frozen=True)
class Gait:
    stride: float = 0.28         # ankle excursion either side of the hip
    stance: float = 0.62         # fraction of the cycle a foot is planted
    lift: float = 0.10
    knee_bend: float = 0.03      # hip lowered below straight-leg height
    bob: float = 0.018
    run: bool = False
    lean: float = 0.06           # forward torso pitch, radians
    hunch: float = 0.0           # extra upper-back curl
    sway: float = 0.02           # lateral pelvis shift toward stance leg
    roll: float = 0.0            # lateral lurch of the torso
    pelvis_yaw: float = 0.10
    twist: float = 0.7           # chest counter-rotation vs pelvis
    foot_spread: float = 0.0
    toe_out: float = 0.08
    arms: str = "swing"          # swing | pump | reach | reach_one | rifle
    arm_swing: float = 0.35
    elbow: float = 0.25
    head_pitch: float = 0.0      # positive looks down
    head_roll: float = 0.0
    head_jut: float = 0.0
    limp: float = 0.0            # right leg drags
    back_kick: float = 0.0       # run: heel folds up behind in swing
    hair_flow: float = 0.0


@dataclass
class Pose:
    j: dict = field(default_factory=dict)    # joint name -> point
    pelvis: Frame = None
    chest: Frame = None
    head: Frame = None
    rifle: dict = None                       # butt, grip, guard, muzzle, up
    hair_lag: tuple = (0.0, 0.0, 0.0)        # sideways sway, -(backward flow) of hair tips


def _foot_path(g, phase, drag):
    """Ankle (y offset, lift, pitch) for one leg. pitch > 0 points toes down."""
    b = g.stance
    a = g.stride
    if phase < b:
        s = phase / b
        y = a * (1.0 - 2.0 * s)
        z = 0.0
        pitch = 0.0
        if s < 0.15:
            pitch = -0.28 * (1.0 - s / 0.15) ** 2
        elif s > 0.6:
            pitch = 0.65 * ((s - 0.6) / 0.4) ** 2
        if drag:
            pitch = max(pitch, 0.18 * drag)
    else:
        s = (phase - b) / (1.0 - b)
        y = -a + 2.0 * a * smoothstep(s)
        peak = s ** 0.75 if g.run else s
        z = g.lift * (1.0 - 0.75 * drag) * math.sin(math.pi * peak)
        pitch = 0.65 * (1.0 - s) ** 2 - 0.28 * s * s
        if drag:
            pitch = pitch * (1.0 - drag) + 0.45 * drag * math.sin(math.pi * s) + 0.18 * drag
        kick = g.back_kick * math.sin(math.pi * min(1.0, s * 1.6)) * (1.0 - s)
        z += kick * 0.9
        y -= kick * 0.35
    return y, z, pitch


def _leg(body, g, hip, side, phase, drag, pelvis_x):
    """Place one leg; returns knee, ankle, heel, toe."""
    fy, fz, pitch = _foot_path(g, phase, drag)
    spread = body.hip_w + g.foot_spread
    ankle_t = (pelvis_x * 0.35 + side * spread, fy, body.ankle_h + fz)
    # Pivot about the ball (heel up) or the heel (toes up) so the shoe stays on the ground.
    if pitch > 0:
        ankle_t = add(ankle_t, (0.0, -body.toe_len * (1 - math.cos(pitch)), body.toe_len * math.sin(pitch)))
    else:
        ankle_t = add(ankle_t, (0.0, 0.0, body.heel_len * math.sin(-pitch)))
    fwd = norm((side * g.toe_out, 1.0, 0.0))
    pole = add(fwd, (side * 0.15, 0.0, 0.0))
    knee, ankle = two_bone(hip, ankle_t, body.thigh, body.shin, pole)
    fdir = rot_axis(fwd, norm((fwd[1], -fwd[0], 0.0)), -pitch)
    toe = madd(ankle, fdir, body.toe_len)
    toe = (toe[0], toe[1], toe[2] - body.ankle_h * 0.45)
    heel = madd(ankle, fdir, -body.heel_len)
    heel = (heel[0], heel[1], heel[2] - body.ankle_h * 0.45)
    return knee, ankle, heel, toe


def _arm_fk(body, chest, shoulder, side, flex, abduct, elbow, wrist, inward=0.0):
    """Forward kinematics in the chest frame; returns elbow, wrist, hand tip."""
    down = (0.0, 0.0, -1.0)
    xax = (1.0, 0.0, 0.0)
    ab = -side * abduct
    d1 = rot_axis(down, (0.0, 1.0, 0.0), ab)
    k = rot_axis(xax, (0.0, 1.0, 0.0), ab)
    d1 = rot_axis(d1, xax, flex)
    k = rot_axis(k, xax, flex)
    d2 = rot_axis(d1, k, elbow)
    if inward:
        d2 = rot_axis(d2, d1, -side * inward)
    d3 = rot_axis(d2, k, wrist)
    w1 = chest.vector(*d1)
    w2 = chest.vector(*d2)
    w3 = chest.vector(*d3)
    e = madd(shoulder, w1, body.upper_arm)
    w = madd(e, w2, body.forearm)
    h = madd(w, w3, body.hand_len)
    return e, w, h


def _arm_ik(body, chest, shoulder, side, hand_target, hand_dir):
    pole = chest.vector(side * 0.8, -0.5, -0.6)
    e, w = two_bone(shoulder, hand_target, body.upper_arm, body.forearm, pole)
    return e, w, madd(w, hand_dir, body.hand_len)


def _torso(body, g, base, pelvis_yaw, chest_yaw, lean, roll, extra_hunch=0.0):
    pelvis = base.rotated("z", pelvis_yaw).rotated("x", -lean * 0.35)
    torso = base.rotated("z", chest_yaw).rotated("x", -lean).rotated("y", roll)
    upper = torso.rotated("x", -(g.hunch + extra_hunch))
    return pelvis, torso, upper


def _rifle(upper, neck_base, kick=0.0, sway=(0.0, 0.0)):
    """Rifle at low ready: stock in the right shoulder pocket, muzzle low-left."""
    butt = upper.point(0.11, 0.10 + sway[0] * 0.2, -0.10)
    butt = add(butt, sub(neck_base, upper.o))
    d_local = norm((-0.22, 1.0, -0.42 + sway[1]))
    up_local = norm((0.0, 0.42, 1.0))
    if kick:
        lat = norm((1.0, 0.22, 0.0))
        d_local = rot_axis(d_local, lat, kick)
        up_local = rot_axis(up_local, lat, kick)
    d = upper.vector(*d_local)
    up = upper.vector(*up_local)
    return {
        "butt": butt,
        "grip": add(madd(butt, d, 0.20), mul(up, -0.07)),
        "guard": madd(butt, d, 0.50),
        "muzzle": madd(butt, d, 0.84),
        "dir": d,
        "up": up,
    }


def gait_pose(body, g, t, toward=0.0):
    """Walk or run cycle at phase t.

    toward: how much the heading points at the viewer (S = 1, N = -1). Arms
    reaching away from a raised camera would read as raised hands, so they
    are posed a little lower in those views.
    """
    p = Pose()
    b = g.stance
    mid_l = b * 0.5
    # Pelvis height: highest over the planted foot when walking, lowest when running.
    straight = body.thigh + body.shin + body.ankle_h
    hip_z = straight - g.knee_bend
    bob = math.cos(2 * TAU * (t - mid_l))
    if g.run:
        bob = -bob
    limp_drop = g.limp * 0.03 * max(0.0, math.cos(TAU * (t - mid_l - 0.5)))
    pz = hip_z + g.bob * bob - limp_drop - (g.bob if not g.run else 0.0)
    px = -g.sway * math.cos(TAU * (t - mid_l))
    p.j["pelvis"] = (px, 0.0, pz)
    yaw = -g.pelvis_yaw * math.cos(TAU * t)
    roll = -g.roll * math.cos(TAU * (t - mid_l)) + g.limp * 0.06 * math.cos(TAU * (t - mid_l - 0.5))
    base = Frame(p.j["pelvis"])
    lean = g.lean + (0.03 * -bob if g.run else 0.0)
    pelvis, torso, upper = _torso(body, g, base, yaw, -g.twist * yaw, lean, roll)
    p.pelvis, p.chest = pelvis, upper

    for name, side, off in (("l", -1, 0.0), ("r", 1, 0.5)):
        hip = pelvis.point(side * body.hip_w, 0.0, -0.02)
        drag = g.limp if side > 0 else 0.0
        knee, ankle, heel, toe = _leg(body, g, hip, side, (t + off) % 1.0, drag, px)
        p.j["hip_" + name] = hip
        p.j["knee_" + name] = knee
        p.j["ankle_" + name] = ankle
        p.j["heel_" + name] = heel
        p.j["toe_" + name] = toe

    spine_mid = torso.point(0.0, 0.0, body.torso_len * 0.55)
    neck_base = add(spine_mid, upper.vector(0.0, 0.0, body.torso_len * 0.45))
    p.j["spine"] = spine_mid
    p.j["neck"] = neck_base
    _head(p, body, g, upper, neck_base, t, bob)

    for name, side in (("l", -1), ("r", 1)):
        sh = add(neck_base, upper.vector(side * body.shoulder_w, -0.01, -0.05))
        p.j["shoulder_" + name] = sh
    _arms(p, body, g, upper, t, bob, toward)
    sway_lag = -px * 1.5
    p.hair_lag = (sway_lag, -g.hair_flow, 0.0)
    return p


def _head(p, body, g, upper, neck_base, t, bob):
    top = add(neck_base, upper.vector(0.0, g.head_jut, body.neck_len))
    nod = g.head_pitch + (0.04 * bob if not g.run else 0.06 * bob)
    roll = g.head_roll + 0.03 * math.sin(TAU * t) * (1.0 + 3.0 * abs(g.head_roll))
    # The neck mostly undoes the body's lean so the face keeps looking ahead.
    head = upper.rotated("x", 0.85 * (g.lean + g.hunch) - nod).rotated("y", roll)
    head = head.moved(add(top, head.vector(0.0, 0.025, body.head_r * 0.85)))
    p.j["neck_top"] = top
    p.head = head


def _arms(p, body, g, upper, t, bob, toward):
    c = math.cos(TAU * t)
    # Flex angles below are about the world vertical; the chest frame is
    # pitched forward by the lean, so add it back.
    tilt = g.lean + g.hunch
    for name, side in (("l", -1), ("r", 1)):
        sh = p.j["shoulder_" + name]
        # Right arm swings forward with the left leg.
        swing = c if side > 0 else -c
        if g.arms == "swing":
            e, w, h = _arm_fk(body, upper, sh, side, g.arm_swing * swing + 0.05 + tilt, 0.10,
                              g.elbow + 0.25 * max(0.0, swing), -0.1)
        elif g.arms == "pump":
            e, w, h = _arm_fk(body, upper, sh, side, g.arm_swing * swing + 0.1 + tilt, 0.16,
                              g.elbow + 0.2 * swing, -0.15, inward=0.25)
        elif g.arms == "reach" or (g.arms == "reach_one" and side > 0):
            sway = math.sin(TAU * t + (0.0 if side > 0 else 1.3))
            flex = 1.70 + 0.4 * min(0.0, toward) + 0.10 * sway + 0.05 * bob + tilt
            e, w, h = _arm_fk(body, upper, sh, side, flex, 0.05 + 0.05 * sway,
                              0.2 + 0.08 * swing, -0.55, inward=0.1)
        else:  # limp dangling arm
            e, w, h = _arm_fk(body, upper, sh, side, 0.25 * swing + 0.1 + tilt, 0.12,
                              0.15 + 0.1 * max(0.0, swing), 0.0)
        p.j["elbow_" + name] = e
        p.j["wrist_" + name] = w
        p.j["hand_" + name] = h


def _rifle_arms(p, body, upper, rifle, left_free=0.0, flail=None):
    sh_r, sh_l = p.j["shoulder_r"], p.j["shoulder_l"]
    hd = norm(add(rifle["dir"], mul(rifle["up"], -0.6)))
    e, w, h = _arm_ik(body, upper, sh_r, 1, rifle["grip"], hd)
    p.j["elbow_r"], p.j["wrist_r"], p.j["hand_r"] = e, w, h
    target = rifle["guard"]
    if left_free > 0 and flail is not None:
        target = lerp(target, flail, left_free)
    hd_l = norm(add(rifle["dir"], mul(rifle["up"], -0.8)))
    e, w, h = _arm_ik(body, upper, sh_l, -1, target, hd_l)
    p.j["elbow_l"], p.j["wrist_l"], p.j["hand_l"] = e, w, h


def soldier_walk_pose(body, g, t):
    p = gait_pose(body, g, t)
    upper = p.chest
    bob = math.cos(2 * TAU * (t - g.stance * 0.5))
    p.rifle = _rifle(upper, p.j["neck"], sway=(0.1 * bob, 0.02 * math.sin(TAU * t)))
    _rifle_arms(p, body, upper, p.rifle)
    return p


def _bump(t, a, b):
    """Smooth 0 -> 1 -> 0 over [a, b]."""
    if t <= a or t >= b:
        return 0.0
    return math.sin(math.pi * (t - a) / (b - a)) ** 2


def _ramp(t, a, b):
    return smoothstep((t - a) / (b - a))


def hit_envelope(t):
    """Sudden knock at t=0, then a slow recovery back to the ready stance."""
    if t < 0.07:
        return math.sin(0.5 * math.pi * t / 0.07)
    return 0.5 * (1.0 + math.cos(math.pi * (t - 0.07) / 0.93))


def soldier_hit_pose(body, g, t):
    """Struck in the chest: recoils, steps back, then recovers to the ready stance."""
    p = Pose()
    e = hit_envelope(t)
    e_late = hit_envelope(max(0.0, t - 0.03))
    breathe = math.sin(TAU * t)
    # Back foot steps away to catch the fall, then returns.
    step = _ramp(t, 0.05, 0.24) * (1.0 - _ramp(t, 0.48, 0.74))
    step_lift = _bump(t, 0.05, 0.24) + _bump(t, 0.48, 0.74)
    front_lift = _bump(t, 0.30, 0.46) * 0.6
    pelvis_back = -0.13 * step - 0.05 * e
    hip_z = body.thigh + body.shin + body.ankle_h - 0.035 - 0.03 * e - 0.015 * step_lift + 0.008 * breathe
    px = 0.02 * e + 0.012 * math.sin(TAU * t)
    p.j["pelvis"] = (px, pelvis_back, hip_z)
    base = Frame(p.j["pelvis"])
    lean = 0.07 - 0.42 * e + 0.10 * _bump(t, 0.35, 0.8)
    yaw_p = 0.12 * e
    yaw_c = 0.10 + 0.30 * e_late
    roll = -0.10 * e_late
    pelvis, torso, upper = _torso(body, g, base, yaw_p, yaw_c, lean, roll, extra_hunch=-0.1 * e)
    p.pelvis, p.chest = pelvis, upper

    feet = {
        "l": (-body.hip_w - 0.02, 0.13 - 0.02 * e, 0.08 * front_lift),
        "r": (body.hip_w + 0.03, -0.12 - 0.24 * step, 0.10 * step_lift),
    }
    for name, side in (("l", -1), ("r", 1)):
        hip = pelvis.point(side * body.hip_w, 0.0, -0.02)
        fx, fy, fz = feet[name]
        pitch = 0.25 * step_lift if name == "r" else -0.15 * front_lift
        ankle_t = (fx, fy, body.ankle_h + fz + body.toe_len * math.sin(max(0.0, pitch)))
        fwd = norm((side * 0.12, 1.0, 0.0))
        knee, ankle = two_bone(hip, ankle_t, body.thigh, body.shin, add(fwd, (side * 0.2, 0.0, 0.0)))
        fdir = rot_axis(fwd, norm((fwd[1], -fwd[0], 0.0)), -pitch)
        toe = madd(ankle, fdir, body.toe_len)
        heel = madd(ankle, fdir, -body.heel_len)
        p.j["hip_" + name] = hip
        p.j["knee_" + name] = knee
        p.j["ankle_" + name] = ankle
        p.j["heel_" + name] = (heel[0], heel[1], heel[2] - body.ankle_h * 0.45)
        p.j["toe_" + name] = (toe[0], toe[1], toe[2] - body.ankle_h * 0.45)

    spine_mid = torso.point(0.0, 0.0, body.torso_len * 0.55)
    neck_base = add(spine_mid, upper.vector(0.0, 0.0, body.torso_len * 0.45))
    p.j["spine"], p.j["neck"] = spine_mid, neck_base
    whip = hit_envelope(max(0.0, t - 0.06))
    hg = Gait(lean=lean, head_pitch=0.05 - 0.35 * whip, head_roll=0.12 * whip)
    _head(p, body, hg, upper, neck_base, 0.0, 0.0)
    for name, side in (("l", -1), ("r", 1)):
        p.j["shoulder_" + name] = add(neck_base, upper.vector(side * body.shoulder_w, -0.01, -0.05))
    kick = 0.6 * e_late + 0.03 * breathe
    p.rifle = _rifle(upper, neck_base, kick=kick, sway=(0.0, 0.01 * breathe))
    flail = add(p.j["shoulder_l"], upper.vector(-0.42, 0.12, 0.05))
    _rifle_arms(p, body, upper, p.rifle, left_free=smoothstep(e_late * 1.4), flail=flail)
    p.hair_lag = (0.0, 0.0, 0.0)
    return p
