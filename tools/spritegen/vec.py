"""Small 3-D vector helpers on plain tuples.

Poses have a few dozen joints per frame, so plain floats are faster than
numpy here and keep the arithmetic order fixed (byte-identical output).
"""

import math


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def subtract(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def scaled(a, factor):
    return (a[0] * factor, a[1] * factor, a[2] * factor)


def add_scaled(a, b, factor):
    """a + b * factor"""
    return (a[0] + b[0] * factor, a[1] + b[1] * factor, a[2] + b[2] * factor)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1],
            a[2] * b[0] - a[0] * b[2],
            a[0] * b[1] - a[1] * b[0])


def length(a):
    return math.sqrt(dot(a, a))


def normalized(a):
    magnitude = length(a)
    if magnitude < 1e-12:
        return (0.0, 0.0, 0.0)
    return (a[0] / magnitude, a[1] / magnitude, a[2] / magnitude)


def lerp(a, b, t):
    return (a[0] + (b[0] - a[0]) * t,
            a[1] + (b[1] - a[1]) * t,
            a[2] + (b[2] - a[2]) * t)


def rotated_about(vector, axis, angle):
    """Rotate vector about the unit vector axis by angle radians (Rodrigues)."""
    cosine, sine = math.cos(angle), math.sin(angle)
    axis_cross = cross(axis, vector)
    axis_dot = dot(axis, vector)
    return (vector[0] * cosine + axis_cross[0] * sine + axis[0] * axis_dot * (1 - cosine),
            vector[1] * cosine + axis_cross[1] * sine + axis[1] * axis_dot * (1 - cosine),
            vector[2] * cosine + axis_cross[2] * sine + axis[2] * axis_dot * (1 - cosine))


class Frame:
    """Orthonormal frame: origin plus right (x), forward (y) and up (z)."""

    __slots__ = ("origin", "x", "y", "z")

    def __init__(self, origin, x=(1.0, 0.0, 0.0), y=(0.0, 1.0, 0.0), z=(0.0, 0.0, 1.0)):
        self.origin, self.x, self.y, self.z = origin, x, y, z

    def point(self, local_x, local_y, local_z):
        origin, x, y, z = self.origin, self.x, self.y, self.z
        return (origin[0] + x[0] * local_x + y[0] * local_y + z[0] * local_z,
                origin[1] + x[1] * local_x + y[1] * local_y + z[1] * local_z,
                origin[2] + x[2] * local_x + y[2] * local_y + z[2] * local_z)

    def vector(self, local_x, local_y, local_z):
        x, y, z = self.x, self.y, self.z
        return (x[0] * local_x + y[0] * local_y + z[0] * local_z,
                x[1] * local_x + y[1] * local_y + z[1] * local_z,
                x[2] * local_x + y[2] * local_y + z[2] * local_z)

    def rotated(self, own_axis, angle):
        """Rotate the frame about one of its own axes ('x', 'y' or 'z')."""
        axis = getattr(self, own_axis)
        return Frame(self.origin, rotated_about(self.x, axis, angle),
                     rotated_about(self.y, axis, angle), rotated_about(self.z, axis, angle))

    def moved(self, origin):
        return Frame(origin, self.x, self.y, self.z)


def two_bone_ik(root, target, first_length, second_length, pole):
    """Two-bone IK. Returns (middle joint, end); end is target pulled into reach."""
    to_target = subtract(target, root)
    distance = length(to_target)
    shortest = abs(first_length - second_length) + 1e-4
    longest = (first_length + second_length) * 0.9995
    direction = normalized(to_target) if distance > 1e-9 else (0.0, 0.0, -1.0)
    distance = min(max(distance, shortest), longest)
    along = (first_length * first_length - second_length * second_length + distance * distance) / (2 * distance)
    out = math.sqrt(max(0.0, first_length * first_length - along * along))
    bend = subtract(pole, scaled(direction, dot(pole, direction)))
    bend = normalized(bend)
    middle = add(add(root, scaled(direction, along)), scaled(bend, out))
    end = add(root, scaled(direction, distance))
    return middle, end


def smoothstep(x):
    x = min(max(x, 0.0), 1.0)
    return x * x * (3 - 2 * x)
