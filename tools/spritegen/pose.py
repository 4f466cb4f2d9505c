"""Articulated skeleton posing in the figure's own space: x to its right,
y forward (the heading), z up, origin on the ground under the pelvis.

Planted feet slide backwards at a constant speed, as on a treadmill, so the
program can move the sprite at a steady pace.
"""

import math
from dataclasses import dataclass, field
from typing import NamedTuple

from .vec import (Frame, add, subtract, scaled, add_scaled, normalized, rotated_about, two_bone_ik,
                  smoothstep, lerp)

TAU = 2.0 * math.pi
# A motion is motion(body, gait, phase, toward) -> Pose with phase in [0, 1):
# phase = frame / frame_count, so the last frame flows straight into the first.
SIDES = (("left", -1), ("right", 1))


@dataclass(frozen=True)
class Body:
    thigh: float = 0.44
    shin: float = 0.43
    ankle_height: float = 0.085
    hip_width: float = 0.095
    torso_length: float = 0.50      # pelvis centre to neck base
    neck_length: float = 0.07
    head_radius: float = 0.125
    shoulder_width: float = 0.19
    upper_arm: float = 0.29
    forearm: float = 0.26
    hand_length: float = 0.10
    toe_length: float = 0.16
    heel_length: float = 0.05


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


class Rifle(NamedTuple):
    """A carried rifle: key points along it, its barrel direction and its top side."""
    butt: tuple
    grip: tuple
    guard: tuple
    muzzle: tuple
    direction: tuple
    up: tuple


@dataclass
class Pose:
    joints: dict = field(default_factory=dict)   # joint name ("knee_left", "neck", ...) -> point
    pelvis: Frame = None
    chest: Frame = None
    head: Frame = None
    rifle: Rifle = None
    hair_lag: tuple = (0.0, 0.0, 0.0)            # sideways sway, -(backward flow) of hair tips


def _foot_path(gait, phase, drag):
    """Ankle (y offset, lift, pitch) for one leg. pitch > 0 points toes down."""
    stance = gait.stance
    stride = gait.stride
    if phase < stance:
        progress = phase / stance
        forward = stride * (1.0 - 2.0 * progress)
        lift = 0.0
        pitch = 0.0
        if progress < 0.15:
            pitch = -0.28 * (1.0 - progress / 0.15) ** 2
        elif progress > 0.6:
            pitch = 0.65 * ((progress - 0.6) / 0.4) ** 2
        if drag:
            pitch = max(pitch, 0.18 * drag)
    else:
        progress = (phase - stance) / (1.0 - stance)
        forward = -stride + 2.0 * stride * smoothstep(progress)
        peak = progress ** 0.75 if gait.run else progress
        lift = gait.lift * (1.0 - 0.75 * drag) * math.sin(math.pi * peak)
        pitch = 0.65 * (1.0 - progress) ** 2 - 0.28 * progress * progress
        if drag:
            pitch = pitch * (1.0 - drag) + 0.45 * drag * math.sin(math.pi * progress) + 0.18 * drag
        kick = gait.back_kick * math.sin(math.pi * min(1.0, progress * 1.6)) * (1.0 - progress)
        lift += kick * 0.9
        forward -= kick * 0.35
    return forward, lift, pitch


def _leg(body, gait, hip, side, phase, drag, pelvis_x):
    """Place one leg; returns knee, ankle, heel, toe."""
    forward, lift, pitch = _foot_path(gait, phase, drag)
    spread = body.hip_width + gait.foot_spread
    ankle_target = (pelvis_x * 0.35 + side * spread, forward, body.ankle_height + lift)
    # Pivot about the ball (heel up) or the heel (toes up) so the shoe stays on the ground.
    if pitch > 0:
        ankle_target = add(ankle_target, (0.0, -body.toe_length * (1 - math.cos(pitch)),
                                          body.toe_length * math.sin(pitch)))
    else:
        ankle_target = add(ankle_target, (0.0, 0.0, body.heel_length * math.sin(-pitch)))
    toes_forward = normalized((side * gait.toe_out, 1.0, 0.0))
    pole = add(toes_forward, (side * 0.15, 0.0, 0.0))
    knee, ankle = two_bone_ik(hip, ankle_target, body.thigh, body.shin, pole)
    foot_direction = rotated_about(toes_forward, normalized((toes_forward[1], -toes_forward[0], 0.0)), -pitch)
    toe = add_scaled(ankle, foot_direction, body.toe_length)
    toe = (toe[0], toe[1], toe[2] - body.ankle_height * 0.45)
    heel = add_scaled(ankle, foot_direction, -body.heel_length)
    heel = (heel[0], heel[1], heel[2] - body.ankle_height * 0.45)
    return knee, ankle, heel, toe


def _arm_forward_kinematics(body, chest, shoulder, side, flex, abduct, elbow, wrist, inward=0.0):
    """Joint angles in the chest frame -> elbow, wrist and hand tip."""
    down = (0.0, 0.0, -1.0)
    x_axis = (1.0, 0.0, 0.0)
    abduction = -side * abduct
    upper_direction = rotated_about(down, (0.0, 1.0, 0.0), abduction)
    hinge = rotated_about(x_axis, (0.0, 1.0, 0.0), abduction)
    upper_direction = rotated_about(upper_direction, x_axis, flex)
    hinge = rotated_about(hinge, x_axis, flex)
    forearm_direction = rotated_about(upper_direction, hinge, elbow)
    if inward:
        forearm_direction = rotated_about(forearm_direction, upper_direction, -side * inward)
    hand_direction = rotated_about(forearm_direction, hinge, wrist)
    elbow_point = add_scaled(shoulder, chest.vector(*upper_direction), body.upper_arm)
    wrist_point = add_scaled(elbow_point, chest.vector(*forearm_direction), body.forearm)
    hand_point = add_scaled(wrist_point, chest.vector(*hand_direction), body.hand_length)
    return elbow_point, wrist_point, hand_point


def _arm_inverse_kinematics(body, chest, shoulder, side, hand_target, hand_direction):
    pole = chest.vector(side * 0.8, -0.5, -0.6)
    elbow, wrist = two_bone_ik(shoulder, hand_target, body.upper_arm, body.forearm, pole)
    return elbow, wrist, add_scaled(wrist, hand_direction, body.hand_length)


def _torso(gait, base, pelvis_yaw, chest_yaw, lean, roll, extra_hunch=0.0):
    """Pelvis, lower torso and upper torso frames."""
    pelvis = base.rotated("z", pelvis_yaw).rotated("x", -lean * 0.35)
    torso = base.rotated("z", chest_yaw).rotated("x", -lean).rotated("y", roll)
    upper = torso.rotated("x", -(gait.hunch + extra_hunch))
    return pelvis, torso, upper


def _rifle(upper, neck_base, kick=0.0, sway=(0.0, 0.0)):
    """Rifle at low ready: stock in the right shoulder pocket, muzzle low-left."""
    butt = upper.point(0.11, 0.10 + sway[0] * 0.2, -0.10)
    butt = add(butt, subtract(neck_base, upper.origin))
    local_direction = normalized((-0.22, 1.0, -0.42 + sway[1]))
    local_up = normalized((0.0, 0.42, 1.0))
    if kick:
        lateral = normalized((1.0, 0.22, 0.0))
        local_direction = rotated_about(local_direction, lateral, kick)
        local_up = rotated_about(local_up, lateral, kick)
    direction = upper.vector(*local_direction)
    up = upper.vector(*local_up)
    return Rifle(butt=butt,
                 grip=add(add_scaled(butt, direction, 0.20), scaled(up, -0.07)),
                 guard=add_scaled(butt, direction, 0.50),
                 muzzle=add_scaled(butt, direction, 0.84),
                 direction=direction,
                 up=up)


def gait_pose(body, gait, phase, toward=0.0):
    """Walk or run cycle.

    toward: how much the heading points at the viewer (S = 1, N = -1). Arms
    reaching away from a raised camera would read as raised hands, so they
    are posed a little lower in those views.
    """
    pose = Pose()
    left_mid_stance = gait.stance * 0.5
    # Pelvis height: highest over the planted foot when walking, lowest when running.
    straight = body.thigh + body.shin + body.ankle_height
    hip_height = straight - gait.knee_bend
    bob = math.cos(2 * TAU * (phase - left_mid_stance))
    if gait.run:
        bob = -bob
    limp_drop = gait.limp * 0.03 * max(0.0, math.cos(TAU * (phase - left_mid_stance - 0.5)))
    pelvis_z = hip_height + gait.bob * bob - limp_drop - (gait.bob if not gait.run else 0.0)
    pelvis_x = -gait.sway * math.cos(TAU * (phase - left_mid_stance))
    pose.joints["pelvis"] = (pelvis_x, 0.0, pelvis_z)
    yaw = -gait.pelvis_yaw * math.cos(TAU * phase)
    roll = (-gait.roll * math.cos(TAU * (phase - left_mid_stance))
            + gait.limp * 0.06 * math.cos(TAU * (phase - left_mid_stance - 0.5)))
    base = Frame(pose.joints["pelvis"])
    lean = gait.lean + (0.03 * -bob if gait.run else 0.0)
    pelvis, torso, upper = _torso(gait, base, yaw, -gait.twist * yaw, lean, roll)
    pose.pelvis, pose.chest = pelvis, upper

    for name, side in SIDES:
        hip = pelvis.point(side * body.hip_width, 0.0, -0.02)
        drag = gait.limp if side > 0 else 0.0
        phase_offset = 0.5 if side > 0 else 0.0
        knee, ankle, heel, toe = _leg(body, gait, hip, side, (phase + phase_offset) % 1.0, drag, pelvis_x)
        pose.joints["hip_" + name] = hip
        pose.joints["knee_" + name] = knee
        pose.joints["ankle_" + name] = ankle
        pose.joints["heel_" + name] = heel
        pose.joints["toe_" + name] = toe

    spine_middle = torso.point(0.0, 0.0, body.torso_length * 0.55)
    neck_base = add(spine_middle, upper.vector(0.0, 0.0, body.torso_length * 0.45))
    pose.joints["spine"] = spine_middle
    pose.joints["neck"] = neck_base
    _head(pose, body, gait, upper, neck_base, phase, bob)

    for name, side in SIDES:
        pose.joints["shoulder_" + name] = add(neck_base, upper.vector(side * body.shoulder_width, -0.01, -0.05))
    _arms(pose, body, gait, upper, phase, bob, toward)
    pose.hair_lag = (-pelvis_x * 1.5, -gait.hair_flow, 0.0)
    return pose


def _head(pose, body, gait, upper, neck_base, phase, bob):
    top = add(neck_base, upper.vector(0.0, gait.head_jut, body.neck_length))
    nod = gait.head_pitch + (0.04 * bob if not gait.run else 0.06 * bob)
    roll = gait.head_roll + 0.03 * math.sin(TAU * phase) * (1.0 + 3.0 * abs(gait.head_roll))
    # The neck mostly undoes the body's lean so the face keeps looking ahead.
    head = upper.rotated("x", 0.85 * (gait.lean + gait.hunch) - nod).rotated("y", roll)
    head = head.moved(add(top, head.vector(0.0, 0.025, body.head_radius * 0.85)))
    pose.joints["neck_top"] = top
    pose.head = head


def _arms(pose, body, gait, upper, phase, bob, toward):
    cycle = math.cos(TAU * phase)
    # Flex angles below are about the world vertical; the chest frame is
    # pitched forward by the lean, so add it back.
    tilt = gait.lean + gait.hunch
    for name, side in SIDES:
        shoulder = pose.joints["shoulder_" + name]
        # Right arm swings forward with the left leg.
        swing = cycle if side > 0 else -cycle
        if gait.arms == "swing":
            elbow, wrist, hand = _arm_forward_kinematics(
                body, upper, shoulder, side, gait.arm_swing * swing + 0.05 + tilt, 0.10,
                gait.elbow + 0.25 * max(0.0, swing), -0.1)
        elif gait.arms == "pump":
            elbow, wrist, hand = _arm_forward_kinematics(
                body, upper, shoulder, side, gait.arm_swing * swing + 0.1 + tilt, 0.16,
                gait.elbow + 0.2 * swing, -0.15, inward=0.25)
        elif gait.arms == "reach" or (gait.arms == "reach_one" and side > 0):
            sway = math.sin(TAU * phase + (0.0 if side > 0 else 1.3))
            flex = 1.70 + 0.4 * min(0.0, toward) + 0.10 * sway + 0.05 * bob + tilt
            elbow, wrist, hand = _arm_forward_kinematics(
                body, upper, shoulder, side, flex, 0.05 + 0.05 * sway,
                0.2 + 0.08 * swing, -0.55, inward=0.1)
        else:  # limp dangling arm
            elbow, wrist, hand = _arm_forward_kinematics(
                body, upper, shoulder, side, 0.25 * swing + 0.1 + tilt, 0.12,
                0.15 + 0.1 * max(0.0, swing), 0.0)
        pose.joints["elbow_" + name] = elbow
        pose.joints["wrist_" + name] = wrist
        pose.joints["hand_" + name] = hand


def _rifle_arms(pose, body, upper, rifle, left_free=0.0, flail=None):
    """Right hand on the grip, left on the guard or, as left_free rises, flung toward flail."""
    hand_direction = normalized(add(rifle.direction, scaled(rifle.up, -0.6)))
    (pose.joints["elbow_right"], pose.joints["wrist_right"],
     pose.joints["hand_right"]) = _arm_inverse_kinematics(
        body, upper, pose.joints["shoulder_right"], 1, rifle.grip, hand_direction)
    target = rifle.guard
    if left_free > 0 and flail is not None:
        target = lerp(target, flail, left_free)
    hand_direction = normalized(add(rifle.direction, scaled(rifle.up, -0.8)))
    (pose.joints["elbow_left"], pose.joints["wrist_left"],
     pose.joints["hand_left"]) = _arm_inverse_kinematics(
        body, upper, pose.joints["shoulder_left"], -1, target, hand_direction)


def soldier_walk_pose(body, gait, phase, toward=0.0):
    """Patrol walk with the rifle at low ready; the arms follow the rifle, not the heading."""
    pose = gait_pose(body, gait, phase)
    upper = pose.chest
    bob = math.cos(2 * TAU * (phase - gait.stance * 0.5))
    pose.rifle = _rifle(upper, pose.joints["neck"], sway=(0.1 * bob, 0.02 * math.sin(TAU * phase)))
    _rifle_arms(pose, body, upper, pose.rifle)
    return pose


def _bump(t, start, end):
    """Smooth 0 -> 1 -> 0 over [start, end]."""
    if t <= start or t >= end:
        return 0.0
    return math.sin(math.pi * (t - start) / (end - start)) ** 2


def _ramp(t, start, end):
    return smoothstep((t - start) / (end - start))


def hit_envelope(t):
    """Sudden knock at t=0, then a slow recovery back to the ready stance."""
    if t < 0.07:
        return math.sin(0.5 * math.pi * t / 0.07)
    return 0.5 * (1.0 + math.cos(math.pi * (t - 0.07) / 0.93))


def soldier_hit_pose(body, gait, phase, toward=0.0):
    """Struck in the chest: recoils, steps back, then recovers to the ready stance."""
    pose = Pose()
    knock = hit_envelope(phase)
    knock_late = hit_envelope(max(0.0, phase - 0.03))
    breathe = math.sin(TAU * phase)
    # Back foot steps away to catch the fall, then returns.
    step = _ramp(phase, 0.05, 0.24) * (1.0 - _ramp(phase, 0.48, 0.74))
    step_lift = _bump(phase, 0.05, 0.24) + _bump(phase, 0.48, 0.74)
    front_lift = _bump(phase, 0.30, 0.46) * 0.6
    pelvis_back = -0.13 * step - 0.05 * knock
    hip_height = (body.thigh + body.shin + body.ankle_height - 0.035 - 0.03 * knock - 0.015 * step_lift
                  + 0.008 * breathe)
    pelvis_x = 0.02 * knock + 0.012 * math.sin(TAU * phase)
    pose.joints["pelvis"] = (pelvis_x, pelvis_back, hip_height)
    base = Frame(pose.joints["pelvis"])
    lean = 0.07 - 0.42 * knock + 0.10 * _bump(phase, 0.35, 0.8)
    pelvis_yaw = 0.12 * knock
    chest_yaw = 0.10 + 0.30 * knock_late
    roll = -0.10 * knock_late
    pelvis, torso, upper = _torso(gait, base, pelvis_yaw, chest_yaw, lean, roll, extra_hunch=-0.1 * knock)
    pose.pelvis, pose.chest = pelvis, upper

    feet = {
        "left": (-body.hip_width - 0.02, 0.13 - 0.02 * knock, 0.08 * front_lift),
        "right": (body.hip_width + 0.03, -0.12 - 0.24 * step, 0.10 * step_lift),
    }
    for name, side in SIDES:
        hip = pelvis.point(side * body.hip_width, 0.0, -0.02)
        foot_x, foot_y, foot_lift = feet[name]
        pitch = 0.25 * step_lift if name == "right" else -0.15 * front_lift
        ankle_target = (foot_x, foot_y, body.ankle_height + foot_lift + body.toe_length * math.sin(max(0.0, pitch)))
        toes_forward = normalized((side * 0.12, 1.0, 0.0))
        knee, ankle = two_bone_ik(hip, ankle_target, body.thigh, body.shin,
                                  add(toes_forward, (side * 0.2, 0.0, 0.0)))
        foot_direction = rotated_about(toes_forward, normalized((toes_forward[1], -toes_forward[0], 0.0)), -pitch)
        toe = add_scaled(ankle, foot_direction, body.toe_length)
        heel = add_scaled(ankle, foot_direction, -body.heel_length)
        pose.joints["hip_" + name] = hip
        pose.joints["knee_" + name] = knee
        pose.joints["ankle_" + name] = ankle
        pose.joints["heel_" + name] = (heel[0], heel[1], heel[2] - body.ankle_height * 0.45)
        pose.joints["toe_" + name] = (toe[0], toe[1], toe[2] - body.ankle_height * 0.45)

    spine_middle = torso.point(0.0, 0.0, body.torso_length * 0.55)
    neck_base = add(spine_middle, upper.vector(0.0, 0.0, body.torso_length * 0.45))
    pose.joints["spine"], pose.joints["neck"] = spine_middle, neck_base
    whip = hit_envelope(max(0.0, phase - 0.06))
    head_gait = Gait(lean=lean, head_pitch=0.05 - 0.35 * whip, head_roll=0.12 * whip)
    _head(pose, body, head_gait, upper, neck_base, 0.0, 0.0)
    for name, side in SIDES:
        pose.joints["shoulder_" + name] = add(neck_base, upper.vector(side * body.shoulder_width, -0.01, -0.05))
    kick = 0.6 * knock_late + 0.03 * breathe
    pose.rifle = _rifle(upper, neck_base, kick=kick, sway=(0.0, 0.01 * breathe))
    flail = add(pose.joints["shoulder_left"], upper.vector(-0.42, 0.12, 0.05))
    _rifle_arms(pose, body, upper, pose.rifle, left_free=smoothstep(knock_late * 1.4), flail=flail)
    pose.hair_lag = (0.0, 0.0, 0.0)
    return pose
