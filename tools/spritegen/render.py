"""Camera, projection and cairo drawing primitives.

World space: X to screen right, Y away from the viewer (screen north), Z up.
The camera is orthographic and tilted down by PITCH so ground-plane headings
read clearly while the figure stays upright.
"""

import math

import cairo

from vec import add, sub, mul, dot, norm, cross, length

PITCH = math.radians(22.0)
SIN_P, COS_P = math.sin(PITCH), math.cos(PITCH)
CAM_RIGHT = (1.0, 0.0, 0.0)
CAM_UP = (0.0, SIN_P, COS_P)
TO_CAMERA = (0.0, -COS_P, SIN_P)
# Key light from the upper left, slightly toward the viewer; fixed in world
# space so every heading is lit by the same sun.
LIGHT = norm((-0.55, -0.45, 0.72))

HEADINGS = {
    "E": (1.0, 0.0),
    "N": (0.0, 1.0),
    "NE": (math.sqrt(0.5), math.sqrt(0.5)),
    "NW": (-math.sqrt(0.5), math.sqrt(0.5)),
    "S": (0.0, -1.0),
    "SE": (math.sqrt(0.5), -math.sqrt(0.5)),
    "SW": (-math.sqrt(0.5), -math.sqrt(0.5)),
    "W": (-1.0, 0.0),
}

OUTLINE_TINT = (22, 16, 28)
GROUND_DEPTH = 0.3      # share of the depth offset kept at foot level


class View:
    """Maps figure-local points to world and then to frame pixels."""

    def __init__(self, heading, scale, cx, ground_y):
        hx, hy = HEADINGS[heading]
        self.fwd = (hx, hy, 0.0)
        self.right = (hy, -hx, 0.0)
        self.scale = scale
        self.cx = cx
        self.gy = ground_y

    def world(self, p):
        r, f = self.right, self.fwd
        return (p[0] * r[0] + p[1] * f[0], p[0] * r[1] + p[1] * f[1], p[2])

    def wvec(self, v):
        return self.world(v)

    def screen(self, w):
        """World point -> (x, y) pixels.

        Near the ground the depth term is compressed so both feet keep to one
        ground line in every heading (as a lower camera would see them); from
        knee height up the projection is plain orthographic.
        """
        z = w[2]
        k = min(max(z / 1.0, 0.0), 1.0)
        k = GROUND_DEPTH + (1.0 - GROUND_DEPTH) * k * k * (3 - 2 * k)
        up = w[1] * SIN_P * k + z * COS_P
        return (self.cx + w[0] * self.scale, self.gy - up * self.scale)

    @staticmethod
    def depth(w):
        """Larger is farther from the camera."""
        return w[1] * COS_P - w[2] * SIN_P


def facing(n):
    """How much a world-space normal faces the camera (-1..1)."""
    return dot(n, TO_CAMERA)


def cam_coords(v):
    """World vector -> (right, up, toward-camera) components."""
    return (v[0], v[1] * SIN_P + v[2] * COS_P, dot(v, TO_CAMERA))


# ---------------------------------------------------------------- colours

def clamp8(x):
    return 0 if x < 0 else (255 if x > 255 else x)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def scale_col(c, s):
    return tuple(clamp8(v * s) for v in c)


def outline_of(c):
    return mix(scale_col(c, 0.28), OUTLINE_TINT, 0.55)


def lit(base, lam):
    """Colour of a surface with Lambert term lam in [0, 1]: cool shadows, warm highlights."""
    shadow = mix(scale_col(base, 0.48), (34, 28, 66), 0.22)
    hi = tuple(clamp8(v * 1.18 + 18) for v in base)
    f = 0.15 + 0.95 * lam
    if f < 0.8:
        return mix(shadow, base, f / 0.8)
    return mix(base, hi, min(1.0, (f - 0.8) / 0.3))


def set_rgb(ctx, c, a=1.0):
    ctx.set_source_rgba(c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, a)


def add_stop(g, off, c, a=1.0):
    g.add_color_stop_rgba(off, c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, a)


# ---------------------------------------------------------------- geometry

def capsule_pts(c1, r1, c2, r2, n=9):
    """Outline of a tapered capsule (two circles joined by tangents)."""
    dx, dy = c2[0] - c1[0], c2[1] - c1[1]
    d = math.hypot(dx, dy)
    if d + min(r1, r2) <= max(r1, r2) + 1e-6:
        c, r = (c1, r1) if r1 >= r2 else (c2, r2)
        return [(c[0] + r * math.cos(a), c[1] + r * math.sin(a))
                for a in (i * 2 * math.pi / (4 * n) for i in range(4 * n))]
    base = math.atan2(dy, dx)
    s = max(-1.0, min(1.0, (r1 - r2) / d))
    half = math.acos(s)
    pts = []
    for i in range(n + 1):
        a = base - half + 2 * half * i / n
        pts.append((c2[0] + r2 * math.cos(a), c2[1] + r2 * math.sin(a)))
    span = 2 * math.pi - 2 * half
    for i in range(n + 1):
        a = base + half + span * i / n
        pts.append((c1[0] + r1 * math.cos(a), c1[1] + r1 * math.sin(a)))
    return pts


def hull(points):
    """Convex hull, counter-clockwise (monotone chain)."""
    pts = sorted(set(points))
    if len(pts) <= 2:
        return pts

    def turn(o, a, b):
        return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0])

    lower, upper = [], []
    for p in pts:
        while len(lower) >= 2 and turn(lower[-2], lower[-1], p) <= 0:
            lower.pop()
        lower.append(p)
    for p in reversed(pts):
        while len(upper) >= 2 and turn(upper[-2], upper[-1], p) <= 0:
            upper.pop()
        upper.append(p)
    return lower[:-1] + upper[:-1]


def poly_path(ctx, pts):
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)
    ctx.close_path()


def smooth_path(ctx, pts):
    """Closed path through pts using midpoint quadratic-ish curves (soft corners)."""
    n = len(pts)
    if n < 3:
        poly_path(ctx, pts)
        return
    mids = [((pts[i][0] + pts[(i + 1) % n][0]) * 0.5, (pts[i][1] + pts[(i + 1) % n][1]) * 0.5)
            for i in range(n)]
    ctx.move_to(*mids[-1])
    for i in range(n):
        p, m = pts[i], mids[i]
        m0 = mids[i - 1]
        ctx.curve_to(m0[0] + (p[0] - m0[0]) * 0.66, m0[1] + (p[1] - m0[1]) * 0.66,
                     m[0] + (p[0] - m[0]) * 0.66, m[1] + (p[1] - m[1]) * 0.66, m[0], m[1])
    ctx.close_path()


def ring3d(center, ax, bx, ra, rb, n=16, phase=0.0):
    """Points of a 3-D ellipse ring."""
    out = []
    for i in range(n):
        a = phase + 2 * math.pi * i / n
        ca, sa = math.cos(a), math.sin(a)
        out.append((center[0] + ax[0] * ra * ca + bx[0] * rb * sa,
                    center[1] + ax[1] * ra * ca + bx[1] * rb * sa,
                    center[2] + ax[2] * ra * ca + bx[2] * rb * sa))
    return out


# ---------------------------------------------------------------- shading

def cylinder_gradient(view, w0, w1, s0, s1, r_px, base, dim=1.0):
    """Linear gradient across a limb, lit as a cylinder along w0->w1."""
    axis = norm(sub(w1, w0))
    ax2 = (s1[0] - s0[0], s1[1] - s0[1])
    l2 = math.hypot(*ax2)
    if l2 < 1e-3:
        ax2 = (0.0, 1.0)
    else:
        ax2 = (ax2[0] / l2, ax2[1] / l2)
    q = (-ax2[1], ax2[0])
    side = (q[0] * CAM_RIGHT[0] - q[1] * CAM_UP[0],
            q[0] * CAM_RIGHT[1] - q[1] * CAM_UP[1],
            q[0] * CAM_RIGHT[2] - q[1] * CAM_UP[2])
    if length(axis) > 0.5:
        side = norm(sub(side, mul(axis, dot(side, axis))))
        front = sub(TO_CAMERA, mul(axis, dot(TO_CAMERA, axis)))
        front = norm(front) if length(front) > 1e-3 else norm(cross(axis, side))
    else:
        front = TO_CAMERA
    mx, my = (s0[0] + s1[0]) * 0.5, (s0[1] + s1[1]) * 0.5
    g = cairo.LinearGradient(mx - q[0] * r_px, my - q[1] * r_px, mx + q[0] * r_px, my + q[1] * r_px)
    for i in range(7):
        u = -1.0 + 2.0 * i / 6
        n = norm(add(mul(side, u), mul(front, math.sqrt(max(0.0, 1 - u * u)))))
        lam = max(0.0, dot(n, LIGHT))
        add_stop(g, i / 6.0, scale_col(lit(base, lam), dim))
    return g


def sphere_gradient(cx, cy, r_px, base, dim=1.0):
    lc = cam_coords(LIGHT)
    hx, hy = cx + lc[0] * r_px * 0.45, cy - lc[1] * r_px * 0.45
    g = cairo.RadialGradient(hx, hy, r_px * 0.05, cx, cy, r_px * 1.12)
    add_stop(g, 0.0, scale_col(lit(base, 1.0), dim))
    add_stop(g, 0.45, scale_col(lit(base, 0.75), dim))
    add_stop(g, 0.85, scale_col(lit(base, 0.35), dim))
    add_stop(g, 1.0, scale_col(lit(base, 0.15), dim))
    return g


# ---------------------------------------------------------------- parts

class Part:
    """A drawable piece sorted back-to-front by (layer, depth)."""

    __slots__ = ("layer", "depth", "draw", "order")

    def __init__(self, layer, depth, draw):
        self.layer, self.depth, self.draw = layer, depth, draw
        self.order = 0


def paint(ctx, parts):
    for i, p in enumerate(parts):
        p.order = i
    for p in sorted(parts, key=lambda p: (p.layer, -p.depth, p.order)):
        p.draw(ctx)


class Painter:
    """Shared drawing state for one frame (view, outline width)."""

    def __init__(self, view, outline):
        self.view = view
        self.ow = outline

    def sp(self, w):
        return self.view.screen(w)

    # -- limbs
    def chain(self, ctx, segs, dim=1.0):
        """segs: list of (w0, r0, w1, r1, colour). Outline all, then fill all."""
        v, s = self.view, self.view.scale
        shapes = []
        for w0, r0, w1, r1, col in segs:
            s0, s1 = v.screen(w0), v.screen(w1)
            pts = capsule_pts(s0, r0 * s, s1, r1 * s)
            shapes.append((pts, w0, w1, s0, s1, max(r0, r1) * s, col))
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        for pts, *_rest, col in shapes:
            poly_path(ctx, pts)
            set_rgb(ctx, outline_of(col))
            ctx.set_line_width(self.ow * 2)
            ctx.stroke_preserve()
            ctx.fill()
        for pts, w0, w1, s0, s1, r, col in shapes:
            poly_path(ctx, pts)
            ctx.set_source(cylinder_gradient(v, w0, w1, s0, s1, r, col, dim))
            ctx.fill()

    # -- lofted bodies (torso, skirts, hair)
    def loft_shapes(self, rings, n=16):
        """rings: list of (centre, axis_a, axis_b, ra, rb). Returns hull polygons."""
        pts2 = [[self.sp(p) for p in ring3d(c, a, b, ra, rb, n)] for c, a, b, ra, rb in rings]
        return [hull(pts2[i] + pts2[i + 1]) for i in range(len(pts2) - 1)]

    def loft(self, ctx, rings, col, axis_from, axis_to, dim=1.0, shapes=None):
        shapes = shapes or self.loft_shapes(rings)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        set_rgb(ctx, outline_of(col))
        ctx.set_line_width(self.ow * 2)
        for pts in shapes:
            poly_path(ctx, pts)
            ctx.stroke_preserve()
            ctx.fill()
        r = max(max(ra, rb) for _c, _a, _b, ra, rb in rings) * self.view.scale
        g = cylinder_gradient(self.view, axis_from, axis_to, self.sp(axis_from), self.sp(axis_to), r, col, dim)
        for pts in shapes:
            poly_path(ctx, pts)
            ctx.set_source(g)
            ctx.fill()
        return shapes

    # -- surface decals
    def decal(self, ctx, centre, u, v, n, pts_uv, col, min_facing=0.08, outline=True, alpha=1.0):
        """Flat shape on a surface; pts_uv in metres along tangents u, v."""
        f = facing(n)
        if f < min_facing:
            return False
        pts = [self.sp(add(add(centre, mul(u, a)), mul(v, b))) for a, b in pts_uv]
        fade = min(1.0, (f - min_facing) / 0.12) * alpha
        if outline:
            poly_path(ctx, pts)
            set_rgb(ctx, outline_of(col), fade)
            ctx.set_line_width(self.ow * 1.2)
            ctx.set_line_join(cairo.LINE_JOIN_ROUND)
            ctx.stroke_preserve()
        else:
            poly_path(ctx, pts)
        set_rgb(ctx, col, fade)
        ctx.fill()
        return True

    def strip(self, ctx, ring, normals, drops, col, down):
        """Ragged hem: visible ring points, each dropped by drops[i] along down."""
        vis = [i for i in range(len(ring)) if facing(normals[i]) > -0.25]
        if len(vis) < 2:
            return
        # Visible indices form one run around the ring; rotate so it is contiguous.
        n = len(ring)
        start = next((i for i in vis if (i - 1) % n not in vis), vis[0])
        run = [(start + k) % n for k in range(len(vis))]
        top = [self.sp(ring[i]) for i in run]
        bottom = [self.sp(add(ring[i], mul(down, drops[i]))) for i in run]
        pts = top + bottom[::-1]
        poly_path(ctx, pts)
        set_rgb(ctx, outline_of(col))
        ctx.set_line_width(self.ow * 2)
        ctx.set_line_join(cairo.LINE_JOIN_MITER)
        ctx.stroke_preserve()
        set_rgb(ctx, col)
        ctx.fill()


def fill_cap(ctx, cx, cy, r_px, axis_world, cos_alpha):
    """Fill the visible part of a spherical cap with the current source.

    The caller clips to the sphere's disk. A disk point (x, y) lies in the cap
    when d.a > cos(alpha) with d = (x, y, sqrt(1 - x^2 - y^2)); that is the
    half-plane a_xy.(x, y) > k united with the projected ring ellipse when the
    pole faces the camera, or the half-plane minus the ellipse otherwise.
    """
    ax, ay, az = cam_coords(axis_world)
    k = cos_alpha

    def to_px(x, y):
        return (cx + x * r_px, cy - y * r_px)

    a3 = (ax, ay, az)
    tmp = (0.0, 0.0, 1.0) if abs(az) < 0.9 else (1.0, 0.0, 0.0)
    u = norm(cross(a3, tmp))
    v = cross(a3, u)
    rho = math.sqrt(max(0.0, 1.0 - k * k))
    ring = []
    for i in range(48):
        t = 2 * math.pi * i / 48
        ct, st = math.cos(t), math.sin(t)
        ring.append(to_px(ax * k + rho * (u[0] * ct + v[0] * st),
                          ay * k + rho * (u[1] * ct + v[1] * st)))
    lxy = math.hypot(ax, ay)
    half = None
    if lxy > 1e-6:
        nx, ny = ax / lxy, ay / lxy
        d0 = k / lxy
        tx, ty = -ny, nx
        p0 = (nx * d0, ny * d0)
        half = [to_px(p0[0] + tx * 3, p0[1] + ty * 3), to_px(p0[0] - tx * 3, p0[1] - ty * 3),
                to_px(p0[0] - tx * 3 + nx * 4, p0[1] - ty * 3 + ny * 4),
                to_px(p0[0] + tx * 3 + nx * 4, p0[1] + ty * 3 + ny * 4)]
    elif k < 0:
        half = [to_px(-3, -3), to_px(3, -3), to_px(3, 3), to_px(-3, 3)]
    if az >= 0:
        poly_path(ctx, ring)
        ctx.fill()
        if half:
            poly_path(ctx, half)
            ctx.fill()
        return
    if not half:
        return
    ctx.save()
    poly_path(ctx, half)
    ctx.clip()
    ctx.rectangle(cx - 3 * r_px, cy - 3 * r_px, 6 * r_px, 6 * r_px)
    poly_path(ctx, ring)
    ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    ctx.fill()
    ctx.restore()
