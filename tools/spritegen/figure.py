"""Turns a posed skeleton plus a character look into sorted drawable parts."""

import math

import cairo

from render import (Part, Painter, TO_CAMERA, facing, fill_cap, capsule_pts, poly_path,
                    set_rgb, outline_of, sphere_gradient, lit, scale_col)
from vec import add, sub, mul, madd, norm, cross, dot, lerp, Frame

# Jagged outlines for tears and stains (unit radius), fixed so output never varies.
_TEAR = [(math.cos(a) * r, math.sin(a) * r * 1.25) for a, r in zip(
    [i * 2 * math.pi / 10 for i in range(10)], [1.0, 0.55, 0.95, 0.5, 1.05, 0.6, 0.9, 0.45, 1.0, 0.6])]
_BLOB = [(math.cos(a) * r, math.sin(a) * r) for a, r in zip(
    [i * 2 * math.pi / 9 for i in range(9)], [1.0, 0.8, 1.1, 0.7, 0.95, 1.05, 0.75, 1.0, 0.85])]
_HEM = [0.0, 0.05, 0.012, 0.07, 0.02, 0.035, 0.0, 0.06, 0.015, 0.045, 0.005, 0.065,
        0.02, 0.04, 0.0, 0.055]


def _wframe(view, f):
    return Frame(view.world(f.o), view.wvec(f.x), view.wvec(f.y), view.wvec(f.z))


def _dim_for(depth, ref):
    """Far-side limbs are darkened a little so they separate from near ones."""
    d = (depth - ref) / 0.14
    d = min(max(d, 0.0), 1.0)
    return 1.0 - 0.2 * d


def _chest_frame(body, W, uf):
    """Upper-body frame whose z axis runs through the bent spine's upper half."""
    return Frame(sub(W["spine"], mul(uf.z, body.torso_len * 0.55)), uf.x, uf.y, uf.z)


def _surface(frame, ring_z, ra, rb, ang):
    """Point, tangent u (sideways), v (up) and normal on an elliptic torso ring."""
    ca, sa = math.cos(ang), math.sin(ang)
    c = frame.point(0.0, 0.0, ring_z)
    p = add(c, frame.vector(ra * sa, rb * ca, 0.0))
    n = norm(frame.vector(sa / ra, ca / rb, 0.0))
    u = norm(frame.vector(ra * ca, -rb * sa, 0.0))
    v = frame.z
    return p, u, v, n


def build(view, outline, look, body, pose):
    pt = Painter(view, outline)
    W = {k: view.world(p) for k, p in pose.j.items()}
    pal = look.palette
    lf = look.limb
    parts = []
    pelvis_f = _wframe(view, pose.pelvis)
    upper_f = _wframe(view, pose.chest)
    head_f = _wframe(view, pose.head)
    torso_depth = view.depth(W["spine"])

    # Soft ground shadow.
    def shadow(ctx):
        cx, cy = view.screen((0.0, 0.0, 0.0))
        rx = 0.36 * view.scale
        ry = rx * 0.42
        ctx.save()
        ctx.translate(cx, cy)
        ctx.scale(1.0, ry / rx)
        g = cairo.RadialGradient(0, 0, 0, 0, 0, rx)
        g.add_color_stop_rgba(0.0, 0.05, 0.03, 0.08, 0.42)
        g.add_color_stop_rgba(0.6, 0.05, 0.03, 0.08, 0.22)
        g.add_color_stop_rgba(1.0, 0.05, 0.03, 0.08, 0.0)
        ctx.set_source(g)
        ctx.arc(0, 0, rx, 0, 2 * math.pi)
        ctx.fill()
        ctx.restore()
    parts.append(Part(-1, 0.0, shadow))

    # Legs.
    for s in ("l", "r"):
        hip, knee, ankle = W["hip_" + s], W["knee_" + s], W["ankle_" + s]
        heel, toe = W["heel_" + s], W["toe_" + s]
        segs = []
        if look.kind == "male":
            shin_mid = lerp(knee, ankle, 0.82)
            segs += [(hip, 0.088 * lf, knee, 0.068 * lf, pal["pants"]),
                     (knee, 0.066 * lf, shin_mid, 0.058 * lf, pal["pants"]),
                     (shin_mid, 0.06 * lf, ankle, 0.04, pal["skin"]),
                     (heel, 0.046, toe, 0.04, pal["shoes"])]
        elif look.kind == "female":
            segs += [(hip, 0.082 * lf, knee, 0.056 * lf, pal["skin"]),
                     (knee, 0.056 * lf, ankle, 0.036, pal["skin"]),
                     (heel, 0.04, toe, 0.034, pal["shoes"])]
        else:
            boot_top = lerp(knee, ankle, 0.55)
            segs += [(hip, 0.09, knee, 0.07, pal["uniform"]),
                     (knee, 0.068, boot_top, 0.062, pal["uniform"]),
                     (boot_top, 0.064, ankle, 0.056, pal["boots"]),
                     (heel, 0.052, toe, 0.046, pal["boots"])]
            pad_dir = norm(sub(ankle, knee))
            fwd = norm(sub(toe, heel))
            pad_c = madd(madd(knee, fwd, 0.035), pad_dir, 0.03)
            segs.append((pad_c, 0.058, madd(pad_c, pad_dir, 0.06), 0.05, pal["pads"]))
        depth = view.depth(lerp(hip, ankle, 0.5))
        dim = _dim_for(view.depth(hip), view.depth(W["pelvis"]))
        parts.append(Part(0, depth, lambda ctx, segs=segs, dim=dim: pt.chain(ctx, segs, dim)))

    # Torso with clothing.
    if look.kind == "male":
        parts.append(Part(1, torso_depth, lambda ctx: _male_torso(ctx, pt, view, body, pal, W, pelvis_f, upper_f)))
    elif look.kind == "female":
        parts.append(Part(1, torso_depth, lambda ctx: _female_torso(ctx, pt, view, body, pal, W, pelvis_f, upper_f)))
    else:
        parts.append(Part(1, torso_depth, lambda ctx: _soldier_torso(ctx, pt, view, body, pal, W, pelvis_f, upper_f)))

    # Arms: upper arm and forearm are sorted separately so a forearm can cross
    # in front of the chest while its upper arm stays behind it.
    for s in ("l", "r"):
        sh, el, wr, hd = W["shoulder_" + s], W["elbow_" + s], W["wrist_" + s], W["hand_" + s]
        dim = _dim_for(view.depth(sh), torso_depth)
        if look.kind == "male":
            sleeve_end = lerp(sh, el, 0.5)
            up = [(sh, 0.06 * lf, sleeve_end, 0.056 * lf, pal["shirt"]),
                  (sleeve_end, 0.05 * lf, el, 0.046 * lf, pal["skin"])]
            low = [(el, 0.046 * lf, wr, 0.036 * lf, pal["skin"]),
                   (wr, 0.04 * lf, hd, 0.034 * lf, pal["skin"])]
        elif look.kind == "female":
            up = [(sh, 0.05, el, 0.04, pal["skin"])]
            low = [(el, 0.04, wr, 0.031, pal["skin"]), (wr, 0.034, hd, 0.029, pal["skin"])]
        else:
            up = [(sh, 0.066, el, 0.055, pal["uniform"])]
            low = [(el, 0.055, wr, 0.045, pal["uniform"]), (wr, 0.046, hd, 0.04, pal["gloves"])]
        # Keyed by the outer joint: an arm reaching away from the camera
        # stays behind the head, one reaching toward it comes in front.
        d_up = view.depth(el) - 0.04
        d_low = view.depth(wr) - 0.03
        parts.append(Part(1, d_up, lambda ctx, segs=up, dim=dim: pt.chain(ctx, segs, dim)))
        parts.append(Part(1, d_low, lambda ctx, segs=low, dim=dim: pt.chain(ctx, segs, dim)))

    if pose.rifle is not None:
        rf = {k: (view.world(v) if k not in ("dir", "up") else view.wvec(v)) for k, v in pose.rifle.items()}
        r_depth = view.depth(rf["guard"]) - 0.02
        parts.append(Part(1, r_depth, lambda ctx: _rifle(ctx, pt, pal, rf)))

    head_depth = view.depth(head_f.o)
    parts.append(Part(1, head_depth, lambda ctx: _head(ctx, pt, view, look, body, pal, W, head_f)))
    if look.kind == "female":
        hair_rings = _hair_rings(body, head_f, upper_f, W, view, pose)
        # Hair hangs on the back: behind the body when the back faces away,
        # over the head when it faces the camera, between the two side-on.
        back = mul(head_f.y, -1.0)
        away = dot(back, (0.0, -TO_CAMERA[1], -TO_CAMERA[2]))
        hd = head_depth + 0.02 + 0.3 * away
        parts.append(Part(1, hd, lambda ctx: pt.loft(ctx, hair_rings, pal["hair"], hair_rings[-1][0], hair_rings[0][0])))
    return parts


# ---------------------------------------------------------------- torsos

def _rings(frame, levels):
    """levels: (z, ra, rb) in the frame -> world rings."""
    return [(frame.point(0.0, 0.0, z), frame.x, frame.y, ra, rb) for z, ra, rb in levels]


def _neck(ctx, pt, W, col, r=0.052):
    pt.chain(ctx, [(W["neck"], r, W["neck_top"], r * 0.9, col)])


def _male_torso(ctx, pt, view, body, pal, W, pf, uf):
    pelvis = _rings(pf, [(-0.10, 0.155, 0.11), (0.08, 0.15, 0.105)])
    pt.loft(ctx, pelvis, pal["pants"], pf.point(0, 0, -0.1), pf.point(0, 0, 0.1))
    spine, neck = W["spine"], W["neck"]
    chest = Frame(spine, uf.x, uf.y, uf.z)
    shirt = [(pf.point(0, 0, 0.02), pf.x, pf.y, 0.162, 0.118),
             (spine, uf.x, uf.y, 0.168, 0.118),
             (chest.point(0, 0, 0.14), uf.x, uf.y, 0.19, 0.12),
             (sub(neck, mul(uf.z, 0.045)), uf.x, uf.y, body.shoulder_w + 0.03, 0.095)]
    pt.loft(ctx, shirt, pal["shirt"], pf.point(0, 0, 0.0), neck)
    # Ragged hem hanging over the trousers.
    hem_c = pf.point(0, 0, 0.02)
    ring, normals, drops = [], [], []
    for i in range(16):
        a = 2 * math.pi * i / 16
        ring.append(add(hem_c, add(mul(pf.x, 0.164 * math.cos(a)), mul(pf.y, 0.12 * math.sin(a)))))
        normals.append(norm(add(mul(pf.x, math.cos(a) / 0.164), mul(pf.y, math.sin(a) / 0.12))))
        drops.append(_HEM[i])
    pt.strip(ctx, ring, normals, drops, pal["shirt"], mul(pf.z, -1.0))
    # Tears showing skin, and old blood.
    for z, ang, size, col in ((0.20, 0.5, 0.045, pal["skin"]), (0.30, -0.9, 0.035, pal["skin"]),
                              (0.12, 2.7, 0.04, pal["skin"]), (0.33, 0.15, 0.04, pal["blood"]),
                              (0.26, 3.5, 0.05, pal["blood"])):
        p, u, v, n = _surface(_chest_frame(body, W, uf), z, 0.172, 0.122, ang)
        shape = _TEAR if col == pal["skin"] else _BLOB
        pt.decal(ctx, p, u, v, n, [(x * size, y * size) for x, y in shape], col)


def _female_torso(ctx, pt, view, body, pal, W, pf, uf):
    spine, neck = W["spine"], W["neck"]
    # Skirt hangs from the waist to below the knees, widening to cover both legs.
    kl, kr = W["knee_l"], W["knee_r"]
    km = lerp(kl, kr, 0.5)
    dx = abs(dot(sub(kl, kr), pf.x)) * 0.5
    dy = abs(dot(sub(kl, kr), pf.y)) * 0.5
    hem_z = km[2] - 0.04
    hem_c = (km[0], km[1], hem_z)
    waist = pf.point(0, 0, 0.10)
    hip = pf.point(0, 0, -0.08)
    hem_a = max(0.20, dx + 0.10)
    hem_b = max(0.17, dy + 0.09)
    skirt = [(waist, pf.x, pf.y, 0.13, 0.10), (hip, pf.x, pf.y, 0.17, 0.13),
             (hem_c, pf.x, pf.y, hem_a, hem_b)]
    bodice = [(waist, pf.x, pf.y, 0.13, 0.10),
              (add(spine, mul(uf.z, 0.06)), uf.x, uf.y, 0.15, 0.11),
              (sub(neck, mul(uf.z, 0.04)), uf.x, uf.y, body.shoulder_w + 0.02, 0.085)]
    pt.loft(ctx, skirt, pal["dress"], waist, hem_c)
    ring, normals, drops = [], [], []
    for i in range(16):
        a = 2 * math.pi * i / 16
        ring.append(add(hem_c, add(mul(pf.x, hem_a * math.cos(a)), mul(pf.y, hem_b * math.sin(a)))))
        normals.append(norm(add(mul(pf.x, math.cos(a) / hem_a), mul(pf.y, math.sin(a) / hem_b))))
        drops.append(_HEM[(i * 5) % 16] * 1.3)
    pt.strip(ctx, ring, normals, drops, scale_col(pal["dress"], 0.92), (0.0, 0.0, -1.0))
    pt.loft(ctx, bodice, pal["dress"], waist, neck)
    # Scoop neckline, a tear and a stain.
    cf = _chest_frame(body, W, uf)
    top_z = body.torso_len - 0.08
    p, u, v, n = _surface(cf, top_z, 0.15, 0.095, 0.0)
    pt.decal(ctx, p, u, v, n, [(0.07 * math.cos(a), -0.06 * math.sin(a) + 0.02)
                               for a in [i * math.pi / 8 for i in range(9)]], pal["skin"], outline=False)
    for z, ang, size, col, shape in ((0.16, -0.6, 0.04, pal["skin"], _TEAR),
                                     (0.24, 0.7, 0.045, pal["blood"], _BLOB),
                                     (0.20, 3.3, 0.04, pal["skin"], _TEAR)):
        p, u, v, n = _surface(cf, z, 0.14, 0.105, ang)
        pt.decal(ctx, p, u, v, n, [(x * size, y * size) for x, y in shape], col)


def _soldier_torso(ctx, pt, view, body, pal, W, pf, uf):
    spine, neck = W["spine"], W["neck"]
    pelvis = _rings(pf, [(-0.10, 0.16, 0.115), (0.08, 0.155, 0.11)])
    pt.loft(ctx, pelvis, pal["uniform"], pf.point(0, 0, -0.1), pf.point(0, 0, 0.1))
    chest = Frame(spine, uf.x, uf.y, uf.z)
    shirt = [(pf.point(0, 0, 0.04), pf.x, pf.y, 0.158, 0.112),
             (spine, uf.x, uf.y, 0.17, 0.12),
             (sub(neck, mul(uf.z, 0.045)), uf.x, uf.y, body.shoulder_w + 0.035, 0.10)]
    pt.loft(ctx, shirt, pal["uniform"], pf.point(0, 0, 0.0), neck)
    # Belt.
    belt = pf.point(0, 0, 0.06)
    ring, normals = [], []
    for i in range(16):
        a = 2 * math.pi * i / 16
        ring.append(add(belt, add(mul(pf.x, 0.163 * math.cos(a)), mul(pf.y, 0.117 * math.sin(a)))))
        normals.append(norm(add(mul(pf.x, math.cos(a)), mul(pf.y, math.sin(a)))))
    pt.strip(ctx, ring, normals, [0.045] * 16, pal["belt"], mul(pf.z, -1.0))
    # Plate carrier: boxier and thicker than the body under it.
    vest = [(pf.point(0, 0, 0.12), uf.x, uf.y, 0.178, 0.138),
            (chest.point(0, 0, 0.05), uf.x, uf.y, 0.19, 0.148),
            (chest.point(0, 0, 0.17), uf.x, uf.y, 0.17, 0.135)]
    pt.loft(ctx, vest, pal["vest"], pf.point(0, 0, 0.1), chest.point(0, 0, 0.18))
    cf = _chest_frame(body, W, uf)
    for ang in (-0.42, 0.0, 0.42):
        p, u, v, n = _surface(cf, 0.20, 0.185, 0.145, ang)
        p = add(p, mul(n, 0.012))
        pt.decal(ctx, p, u, v, n, [(-0.035, -0.045), (0.035, -0.045), (0.035, 0.04), (-0.035, 0.04)],
                 pal["pouch"])
    for ang in (math.pi - 0.35, math.pi + 0.35):
        p, u, v, n = _surface(cf, 0.26, 0.185, 0.145, ang)
        pt.decal(ctx, p, u, v, n, [(-0.05, -0.06), (0.05, -0.06), (0.05, 0.06), (-0.05, 0.06)],
                 pal["pouch"])


def _rifle(ctx, pt, pal, rf):
    col = pal["rifle"]
    d, up = rf["dir"], rf["up"]
    butt, muzzle = rf["butt"], rf["muzzle"]
    recv = madd(butt, d, 0.16)
    guard = rf["guard"]
    mag = madd(butt, d, 0.33)
    segs = [(madd(butt, up, -0.02), 0.034, recv, 0.026, col),
            (recv, 0.034, madd(guard, d, 0.08), 0.03, col),
            (madd(guard, d, 0.08), 0.014, muzzle, 0.012, col),
            (mag, 0.024, add(madd(mag, up, -0.13), mul(d, 0.03)), 0.022, col),
            (madd(recv, up, 0.045), 0.016, madd(madd(recv, up, 0.045), d, 0.1), 0.016, col)]
    pt.chain(ctx, segs)


# ---------------------------------------------------------------- head

def _hair_rings(body, hf, uf, W, view, pose):
    """Long hair: a dome over the crown, full at the nape, tapering to a rounded tip."""
    r = body.head_r
    lag_x, lag_y, _ = pose.hair_lag
    back = mul(hf.y, -1.0)
    ub = mul(uf.y, -1.0)
    flow = -lag_y            # positive streams backwards
    swing = mul(uf.x, lag_x)
    crown = madd(madd(hf.o, hf.z, r * 0.55), back, 0.01)
    c1 = madd(hf.o, back, 0.02)
    c2 = madd(add(W["neck_top"], mul(uf.z, -0.02)), back, 0.055)
    c3 = add(madd(madd(W["neck"], ub, 0.085 + flow * 0.5), uf.z, -0.11), swing)
    c4 = add(madd(madd(c3, uf.z, -0.05), ub, flow * 0.4), mul(swing, 0.4))
    return [(crown, hf.x, hf.y, r * 0.8, r * 0.8),
            (c1, hf.x, hf.y, r * 1.12, r * 1.08),
            (c2, uf.x, uf.y, r * 1.32, r * 0.72),
            (c3, uf.x, uf.y, r * 1.2, r * 0.4),
            (c4, uf.x, uf.y, r * 0.6, r * 0.22)]


def _sphere_point(hf, r, yaw, pitch):
    d = hf.vector(math.sin(yaw) * math.cos(pitch), math.cos(yaw) * math.cos(pitch), math.sin(pitch))
    p = madd(hf.o, d, r)
    u = norm(cross(d, hf.z))
    v = cross(u, d)
    return p, u, v, d


def _band(ctx, pt, hf, r, yaw0, yaw1, p0, p1, col, steps=12):
    """A band wrapped around the head sphere (goggles, brows)."""
    top, bot = [], []
    for i in range(steps + 1):
        y = yaw0 + (yaw1 - yaw0) * i / steps
        for lst, pp in ((top, p1), (bot, p0)):
            p, _u, _v, n = _sphere_point(hf, r, y, pp)
            lst.append((p, n))
    vis = [i for i in range(steps + 1) if facing(top[i][1]) > 0.0 or facing(bot[i][1]) > 0.0]
    if len(vis) < 2:
        return
    pts = [pt.sp(top[i][0]) for i in vis] + [pt.sp(bot[i][0]) for i in reversed(vis)]
    poly_path(ctx, pts)
    set_rgb(ctx, outline_of(col))
    ctx.set_line_width(pt.ow * 1.4)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke_preserve()
    set_rgb(ctx, col)
    ctx.fill()


def _head(ctx, pt, view, look, body, pal, W, hf):
    s = view.scale
    r = body.head_r
    c = hf.o
    _neck(ctx, pt, W, pal["skin"], {"male": 0.055, "female": 0.044}.get(look.kind, 0.052))
    jaw = hf.point(0.0, 0.045, -0.07)
    cs, js = view.screen(c), view.screen(jaw)
    rp, jr = r * s, r * 0.72 * s
    sil = capsule_pts(cs, rp, js, jr, n=14)
    poly_path(ctx, sil)
    set_rgb(ctx, outline_of(pal["skin"]))
    ctx.set_line_width(pt.ow * 2)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke_preserve()
    ctx.fill()
    # Ears sit under the outline pass so they read as bumps.
    for side in (-1, 1):
        p, u, v, n = _sphere_point(hf, r * 0.96, side * math.pi / 2, -0.1)
        if facing(n) > -0.3:
            e = view.screen(p)
            ctx.arc(e[0], e[1], r * 0.28 * s + pt.ow, 0, 2 * math.pi)
            set_rgb(ctx, outline_of(pal["skin"]))
            ctx.fill()
            ctx.arc(e[0], e[1], r * 0.28 * s, 0, 2 * math.pi)
            set_rgb(ctx, lit(pal["skin"], 0.4))
            ctx.fill()
    poly_path(ctx, sil)
    ctx.set_source(sphere_gradient(cs[0], cs[1], rp, pal["skin"]))
    ctx.fill()

    ctx.save()
    poly_path(ctx, sil)
    ctx.clip()
    _face(ctx, pt, view, look, body, pal, hf)
    # Hair cap: (tilt of its axis toward the back, angular radius).
    tilt, alpha = {"male": (0.55, 1.4), "female": (0.3, 1.42), "soldier": (1.25, 1.6)}[look.kind]
    axis = norm(hf.vector(0.0, -math.sin(tilt), math.cos(tilt)))
    hair = pal["hair"]
    set_rgb(ctx, outline_of(hair))
    fill_cap(ctx, cs[0], cs[1], rp, axis, math.cos(alpha + 0.08))
    ctx.set_source(sphere_gradient(cs[0], cs[1], rp, hair))
    fill_cap(ctx, cs[0], cs[1], rp, axis, math.cos(alpha))
    ctx.restore()
    if look.kind == "soldier":
        _helmet(ctx, pt, view, body, pal, hf)


def _face(ctx, pt, view, look, body, pal, hf):
    r = body.head_r
    if look.kind == "soldier":
        # Goggles strap all round, lenses in front, then the lower face.
        _band(ctx, pt, hf, r * 1.01, -math.pi, math.pi, 0.05, 0.24, pal["goggles"], steps=24)
        for side in (-1, 1):
            p, u, v, n = _sphere_point(hf, r * 1.03, side * 0.36, 0.14)
            shape = [(0.036 * math.cos(a), 0.026 * math.sin(a)) for a in [i * math.pi / 6 for i in range(12)]]
            if pt.decal(ctx, p, u, v, n, shape, pal["lens"], min_facing=0.12):
                pt.decal(ctx, add(p, mul(u, -0.01)), u, v, n,
                         [(0.012 * math.cos(a) - 0.008, 0.008 * math.sin(a) + 0.008)
                          for a in [i * math.pi / 4 for i in range(8)]], (240, 250, 255),
                         min_facing=0.2, outline=False)
        p, u, v, n = _sphere_point(hf, r, 0.0, -0.42)
        pt.decal(ctx, p, u, v, n, [(-0.025, 0.0), (0.025, 0.0), (0.02, -0.008), (-0.02, -0.008)],
                 scale_col(pal["skin"], 0.55), min_facing=0.15, outline=False)
        return
    # Zombies: sunken sockets with glowing eyes, a dark open mouth, a gash.
    eye_y = 0.12 if look.kind == "male" else 0.14
    for side in (-1, 1):
        p, u, v, n = _sphere_point(hf, r, side * 0.38, eye_y)
        sock = [(0.04 * math.cos(a), 0.03 * math.sin(a)) for a in [i * math.pi / 6 for i in range(12)]]
        if pt.decal(ctx, p, u, v, n, sock, (52, 30, 40), min_facing=0.1, outline=False):
            pt.decal(ctx, add(p, mul(v, 0.002)), u, v, n,
                     [(0.018 * math.cos(a), 0.015 * math.sin(a)) for a in [i * math.pi / 4 for i in range(8)]],
                     pal["eye"], min_facing=0.15, outline=False)
    p, u, v, n = _sphere_point(hf, r, 0.0, -0.05)
    pt.decal(ctx, p, u, v, n, [(-0.012, 0.02), (0.012, 0.02), (0.016, -0.018), (-0.016, -0.018)],
             scale_col(pal["skin"], 0.72), min_facing=0.2, outline=False)
    jaw_c = hf.point(0.0, 0.045, -0.07)
    mouth_p = madd(jaw_c, hf.y, r * 0.68)
    mouth_p = madd(mouth_p, hf.z, 0.01)
    n = norm(hf.vector(0.0, 1.0, -0.25))
    u = hf.x
    v = norm(cross(n, u))
    open_m = [(-0.04, 0.008), (-0.015, 0.016), (0.02, 0.012), (0.042, 0.004), (0.03, -0.03),
              (0.0, -0.042), (-0.028, -0.028)]
    if pt.decal(ctx, mouth_p, u, mul(v, -1.0), n, open_m, pal["mouth"], min_facing=0.12):
        pt.decal(ctx, mouth_p, u, mul(v, -1.0), n,
                 [(-0.028, 0.006), (0.028, 0.006), (0.024, -0.004), (-0.024, -0.004)],
                 (214, 206, 170), min_facing=0.2, outline=False)
    p, u, v, n = _sphere_point(hf, r, -0.9, 0.35)
    pt.decal(ctx, p, u, v, n, [(-0.03, 0.01), (0.03, -0.012), (0.028, -0.02), (-0.032, 0.002)],
             pal["wound"], min_facing=0.05, outline=False)


def _helmet(ctx, pt, view, body, pal, hf):
    s = view.scale
    r = body.head_r * 1.22
    c = hf.point(0.0, -0.015, 0.03)
    cs = view.screen(c)
    rp = r * s
    axis = norm(hf.vector(0.0, -0.22, 1.0))
    col = pal["helmet"]
    rim = 1.42
    cos_rim = math.cos(rim)
    ctx.save()
    ctx.arc(cs[0], cs[1], rp + pt.ow, 0, 2 * math.pi)
    ctx.clip()
    set_rgb(ctx, outline_of(col))
    fill_cap(ctx, cs[0], cs[1], rp + pt.ow, axis, cos_rim)
    ctx.restore()
    ctx.save()
    ctx.arc(cs[0], cs[1], rp, 0, 2 * math.pi)
    ctx.clip()
    ctx.set_source(sphere_gradient(cs[0], cs[1], rp, col))
    fill_cap(ctx, cs[0], cs[1], rp, axis, math.cos(rim - pt.ow * 1.2 / rp))
    ctx.restore()
    # A rail on each side and a small front mount.
    for side in (-1, 1):
        p, u, v, n = _sphere_point(Frame(c, hf.x, hf.y, hf.z), r, side * 1.45, 0.15)
        pt.decal(ctx, p, u, v, n, [(-0.05, -0.012), (0.05, -0.012), (0.05, 0.012), (-0.05, 0.012)],
                 scale_col(col, 0.7), min_facing=0.05)
    p, u, v, n = _sphere_point(Frame(c, hf.x, hf.y, hf.z), r, 0.0, 0.55)
    pt.decal(ctx, p, u, v, n, [(-0.022, -0.015), (0.022, -0.015), (0.018, 0.018), (-0.018, 0.018)],
             scale_col(col, 0.6), min_facing=0.05)
