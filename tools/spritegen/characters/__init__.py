"""The cast, in sheet order; each module holds one character's whole look.

Palettes keep the three apart at 100-125 px: the male green-skinned in a faded
blue shirt and brown trousers, the female pale in a plum dress with auburn
hair, the soldier dark navy and olive with a tan face under a helmet.
"""

from . import female_zombie, male_zombie, swat_soldier

CAST = (female_zombie.CHARACTER, male_zombie.CHARACTER, swat_soldier.CHARACTER)
