"""The outputs the generator draws, as tables: every sprite sheet with its
resource id, size and frame count, the particle image and the icons.

Building these lists draws nothing, so --list and --check-manifest stay fast.
"""

from dataclasses import dataclass

from .character import Animation, Character
from .characters import CAST

DIRECTIONS = ("E", "N", "NE", "NW", "S", "SE", "SW", "W")
PARTICLE = "particle"
PARTICLE_SIZE = (840, 859)
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256, 512)


@dataclass(frozen=True)
class Sheet:
    """One animation in one heading: its frames side by side in one PNG."""
    resource_id: int
    name: str
    heading: str
    width: int
    height: int
    character: Character
    animation: Animation

    @property
    def frame_count(self):
        return self.animation.frame_count


def all_sheets():
    """Every sheet in resource id order: character, then animation, then heading."""
    sheets = []
    for character in CAST:
        for animation in character.animations:
            for index, heading in enumerate(DIRECTIONS):
                sheets.append(Sheet(
                    resource_id=animation.first_id + index,
                    name="%s_%s_%s" % (character.name, animation.action, heading),
                    heading=heading,
                    width=animation.frame_count * animation.frame_width,
                    height=animation.taller.get(heading, animation.frame_height),
                    character=character,
                    animation=animation))
    return sheets


def icon_name(size):
    return "icon_%d" % size


def output_names():
    """Every file the generator writes, in the order it lists them."""
    names = [sheet.name + ".png" for sheet in all_sheets()]
    names.append(PARTICLE + ".png")
    names += [icon_name(size) + ".png" for size in ICON_SIZES]
    return names
