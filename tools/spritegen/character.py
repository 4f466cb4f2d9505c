"""What a character is made of, as data: proportions, palette, outfit and animations.

figure.build() draws any Character; everything that tells the cast apart
lives in these fields, filled in by the modules under characters/.
"""

from dataclasses import dataclass
from typing import Callable, Mapping, Optional, Tuple

from .pose import Body, Gait


@dataclass(frozen=True)
class Animation:
    """One action drawn in every heading; each heading is one sheet."""
    action: str                     # the middle of the sheet names: walk, run, hit
    first_id: int                   # resource id of the first heading; the rest follow in order
    frame_count: int
    frame_width: int
    frame_height: int
    gait: Gait
    motion: Callable                # pose.*_pose: (body, gait, phase, toward) -> Pose
    taller: Mapping[str, int]       # heading -> sheet height, where the figure needs headroom


@dataclass(frozen=True)
class HairCap:
    """The hair drawn on the head sphere: a cap tilted back from the crown."""
    tilt: float                     # radians from straight up toward the back
    angular_radius: float           # radians from the cap's axis to its rim


@dataclass(frozen=True)
class Character:
    name: str                       # the first part of the sheet names
    body: Body
    palette: Mapping[str, Tuple[int, int, int]]
    pixels_per_metre: float
    outline_width: float            # pixels
    animations: Tuple[Animation, ...]
    # Outfit: each receives the joints of one limb (figure.Leg, figure.Arm) and the
    # palette and returns the capsules to draw; arms return (upper arm, forearm).
    leg_capsules: Callable
    arm_capsules: Callable
    draw_torso: Callable            # (ctx, figure.PosedFigure)
    neck_radius: float
    hair_cap: HairCap
    draw_face: Callable             # (ctx, PosedFigure), clipped to the head
    draw_headgear: Optional[Callable] = None        # (ctx, PosedFigure), over the head
    long_hair_rings: Optional[Callable] = None      # PosedFigure -> [render.Ring]
