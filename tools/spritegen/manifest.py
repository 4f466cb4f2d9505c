"""Checks the resource manifest's art lines against the generator's own tables.

The program looks sheets up by resource id and trusts the manifest's frame
count and size, so a disagreement would show the wrong heading or cut frames
apart in the wrong places; the build runs this at configure time to stop it.
"""

import os
import re
from dataclasses import dataclass
from typing import Optional, Tuple

from .catalogue import ICON_SIZES, PARTICLE, PARTICLE_SIZE, all_sheets, icon_name

ART_DIR = "${ART_DIR}/"
_SIZE = re.compile(r"^([0-9]+)x([0-9]+)$")


@dataclass(frozen=True)
class ExpectedArt:
    """An image the generator draws that the manifest may embed."""
    stem: str
    resource_id: Optional[int]           # only sheets: the program maps their ids to headings
    frame_count: Optional[int]           # None for a single image
    size: Tuple[int, int]
    required: bool = True                # the program cannot run without it

    def manifest_line(self):
        line = "%s %s %s%s.png" % (self.resource_id if self.resource_id is not None else "ID",
                                    self.stem, ART_DIR, self.stem)
        if self.frame_count is not None:
            line += " frames=%d size=%dx%d" % (self.frame_count, self.size[0], self.size[1])
        return line


def expected_art():
    """stem -> ExpectedArt: every sheet and the particle, required; the icons, optional."""
    art = {sheet.name: ExpectedArt(sheet.name, sheet.resource_id, sheet.frame_count,
                                   (sheet.width, sheet.height))
           for sheet in all_sheets()}
    art[PARTICLE] = ExpectedArt(PARTICLE, None, None, PARTICLE_SIZE)
    for size in ICON_SIZES:
        art[icon_name(size)] = ExpectedArt(icon_name(size), None, None, (size, size), required=False)
    return art


def _fields(tokens):
    """key=value tokens -> ({key: value or None when unreadable}, [problems])."""
    fields, problems = {}, []
    for token in tokens:
        key, equals, value = token.partition("=")
        if not equals or key not in ("frames", "size"):
            problems.append("unknown field '%s' (expected frames=N size=WxH)" % token)
        elif key == "frames":
            fields["frames"] = int(value) if value.isdigit() else None
            if fields["frames"] is None:
                problems.append("frames=%s is not a number" % value)
        else:
            size = _SIZE.match(value)
            fields["size"] = (int(size.group(1)), int(size.group(2))) if size else None
            if size is None:
                problems.append("size=%s is not WIDTHxHEIGHT" % value)
    return fields, problems


def _compare(expected, resource_id, fields):
    """What differs between one art line and the generator's table; unreadable fields are
    already reported, so they are skipped here."""
    stem = expected.stem
    problems = []
    if expected.resource_id is not None and resource_id != expected.resource_id:
        problems.append("%s has id %d; the generator's is %d" % (stem, resource_id, expected.resource_id))
    if expected.frame_count is None:
        if "frames" in fields:
            problems.append("%s is a single image, not %d frames" % (stem, fields["frames"]))
    elif "frames" not in fields:
        problems.append("%s lacks frames=%d" % (stem, expected.frame_count))
    elif fields["frames"] not in (None, expected.frame_count):
        problems.append("%s has frames=%d; the generator draws %d"
                        % (stem, fields["frames"], expected.frame_count))
    wanted = "%dx%d" % expected.size
    if "size" in fields:
        if fields["size"] not in (None, expected.size):
            problems.append("%s has size=%dx%d; the generator draws %s" % ((stem,) + fields["size"] + (wanted,)))
    elif expected.frame_count is not None:
        problems.append("%s lacks size=%s" % (stem, wanted))
    return problems


def check(manifest_path):
    """One message per disagreement, each naming the manifest line; empty when all agree."""
    expected = expected_art()
    with open(manifest_path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    messages = []
    seen = {}                   # stem -> line number
    art_lines = []              # (line number, id) of readable art lines, for placing missing ones

    def report(number, text):
        messages.append("%s:%d: %s" % (manifest_path, number, text))

    for number, line in enumerate(lines, start=1):
        tokens = line.split("#", 1)[0].split()
        if not any(token.startswith(ART_DIR) for token in tokens):
            continue
        if len(tokens) < 3 or not tokens[2].startswith(ART_DIR) or not tokens[0].isdigit():
            report(number, "expected ID NAME %sFILE.png [frames=N size=WxH]" % ART_DIR)
            continue
        resource_id, name, path = int(tokens[0]), tokens[1], tokens[2]
        art_lines.append((number, resource_id))
        file_name = path[len(ART_DIR):]
        stem, extension = os.path.splitext(file_name)
        if extension != ".png" or "/" in stem:
            report(number, "%s: the art generator writes only .png files in ${ART_DIR} itself" % path)
            continue
        if name != stem:
            report(number, "name %s differs from its file %s" % (name, file_name))
        if stem not in expected:
            report(number, "the art generator does not draw %s" % file_name)
            continue
        if stem in seen:
            report(number, "%s is listed again (first on line %d)" % (stem, seen[stem]))
            continue
        seen[stem] = number
        fields, problems = _fields(tokens[3:])
        for problem in problems + _compare(expected[stem], resource_id, fields):
            report(number, problem)

    last_line = art_lines[-1][0] if art_lines else len(lines)
    for stem, art in expected.items():
        if stem in seen or not art.required:
            continue
        # Point at the art line it belongs after, by id.
        earlier = [number for number, resource_id in art_lines
                   if art.resource_id is not None and resource_id < art.resource_id]
        anchor = max(earlier) if earlier else last_line
        report(anchor, "no line for %s; expected after this one: %s" % (stem, art.manifest_line()))
    return messages
