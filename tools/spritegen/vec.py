"""Small 3-D vector helpers on plain tuples.

Poses have a few dozen joints per frame, so plain floats are faster than
numpy here and keep the arithmetic order fixed (byte-identical output).
"""

import math


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def mul(a, s):
    return (a[0] * s, a[1] * s, a[2] * s)


def madd(a, b, s):
    """a + b * s"""
    return (a[0] + b[0] * s, a[1] + b[1] * s, a[2] + b[2] * s)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1],
            a[2] * b[0] - a[0] * b[2],
            a[0] * b[1] - a[1] * b[0])


def length(a):
    return math.sqrt(dot(a, a))


def norm(a):
    n = length(a)
    if n < 1e-12:
        return (0.0, 0.0, 0.0)
    return (a[0] / n, a[1] / n, a[2] / n)


def lerp(a, b, t):
    return (a[0] + (b[0] - a[0]) * t,
            a[1] + (b[1] - a[1]) * t,
            a[2] + (b[2] - a[2]) * t)


def rot_axis(v, axis, ang):
    """Rotate v about unit vector axis by ang radians (Rodrigues)."""
    c, s = math.cos(ang), math.sin(ang)
    k = axis
    kxv = cross(k, v)
    kdv = dot(k, v)
    return (v[0] * c + kxv[0] * s + k[0] * kdv * (1 - c),
            v[1] * c + kxv[1] * s + k[1] * kdv * (1 - c),
            v[2] * c + kxv[2] * s + k[2] * kdv * (1 - c))


class Frame:
    """Orthonormal frame: origin plus right (x), forward (y) and up (z)."""

    __slots__ = ("o", "x", "y", "z")

    def __init__(self, o, x=(1.0, 0.0, 0.0), y=(0.0, 1.0, 0.0), z=(0.0, 0.0, 1.0)):
        self.o, self.x, self.y, self.z = o, x, y, z

    def point(self, lx, ly, lz):
        o, x, y, z = self.o, self.x, self.y, self.z
        return (o[0] + x[0] * lx + y[0] * ly + z[0] * lz,
                o[1] + x[1] * lx + y[1] * ly + z[1] * lz,
                o[2] + x[2] * lx + y[2] * ly + z[2] * lz)

    def vector(self, lx, ly, lz):
        x, y, z = self.x, self.y, self.z
        return (x[0] * lx + y[0] * ly + z[0] * lz,
                x[1] * lx + y[1] * ly + z[1] * lz,
                x[2] * lx + y[2] * ly + z[2] * lz)

    def rotated(self, axis_local, ang):
        """Rotate the frame about one of its own axes ('x', 'y' or 'z')."""
        axis = getattr(self, axis_local)
        return Frame(self.o, rot_axis(self.x, axis, ang),
                     rot_axis(self.y, axis, ang), rot_axis(self.z, axis, ang))

    def moved(self, o):
        return Frame(o, self.x, self.y, self.z)


def two_bone(root, target, l1, l2, pole):
    """Two-bone IK. Returns (mid, end); end is target pulled into reach."""
    d_vec = sub(target, root)
    d = length(d_vec)
    lo, hi = abs(l1 - l2) + 1e-4, (l1 + l2) * 0.9995
    dirn = norm(d_vec) if d > 1e-9 else (0.0, 0.0, -1.0)
    d = min(max(d, lo), hi)
    a = (l1 * l1 - l2 * l2 + d * d) / (2 * d)
    h = math.sqrt(max(0.0, l1 * l1 - a * a))
    p = sub(pole, mul(dirn, dot(pole, dirn)))
    p = norm(p)
    mid = add(add(root, mul(dirn, a)), mul(p, h))
    end = add(root, mul(dirn, d))
    return mid, end


def smoothstep(x):
    x = min(max(x, 0.0), 1.0)
    return x * x * (3 - 2 * x)
