"""The include check catches what it is for: a planted upward include, a sideways one between
the two middle layers, and a platform header reached through a chain from a pure file; a sound
tree passes."""

import os
import tempfile
import unittest

import check_layers

RANK = {"core": 0, "render": 1, "world": 2, "desktop": 2, "app": 3}


class PlantedFaults(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = self.folder.name
        self.write("core/geometry.h", "#pragma once\n#include <array>\n")
        self.write("render/texture.h", '#include "core/geometry.h"\n#include <glad/gl.h>\n')
        self.write("world/placement.cpp", '#include "core/geometry.h"\n#include "render/texture.h"\n')
        self.write("app/main.cpp", '#include "world/placement.h"\n#include <GLFW/glfw3.h>\n')
        self.pure = {os.path.join(self.root, "core/geometry.h")}

    def tearDown(self):
        self.folder.cleanup()

    def write(self, relative, text):
        path = os.path.join(self.root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as file:
            file.write(text)

    def faults(self):
        return check_layers.check(self.root, RANK, self.pure)

    def test_a_sound_tree_passes(self):
        self.assertEqual(self.faults(), [])

    def test_upward_and_sideways_includes_are_named(self):
        self.write("render/sprite.cpp", '// draws\n#include "world/placement.h"\n')
        self.write("world/population.cpp", '#include "desktop/shell.h"\n')
        faults = self.faults()
        self.assertIn("render/sprite.cpp:2: includes world/placement.h (world is above render, not below it)", faults)
        self.assertIn("world/population.cpp:1: includes desktop/shell.h (desktop is beside world, not below it)",
                      faults)
        self.assertEqual(len(faults), 2)

    def test_platform_header_reached_from_a_pure_file_through_a_chain(self):
        self.write("world/heading.cpp", '#include "render/texture.h"\n')
        self.pure.add(os.path.join(self.root, "world/heading.cpp"))
        faults = self.faults()
        self.assertEqual(faults, ["world/heading.cpp: pure, but reaches a platform header: "
                                  "world/heading.cpp:1 -> render/texture.h:2 <glad/gl.h>"])

    def test_core_is_pure_without_being_listed(self):
        self.write("core/clock.cpp", "#include <windows.h>\n")
        self.assertEqual(len(self.faults()), 1)


if __name__ == "__main__":
    unittest.main()
