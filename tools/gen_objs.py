#!/usr/bin/env python3
"""Generates the two OBJ models the view embeds, view/objs/utez.obj and
view/objs/torus.obj. Standard library only; the output is deterministic, so
running it again reproduces the committed files byte for byte.

utez.obj, the weight that hangs from a weighted branch: two capped cylinders
(a thin rod and the weight's body) below the origin, x and z within -1 to 1,
y from -3.43 up to -0.005. Faces are written as position/uv/normal.

torus.obj, the ring at the anchor point of a tie: a torus in the x-z plane with
outer radius 1.25 and tube radius 0.25. Faces are written as position//normal.

Both use counter-clockwise triangles seen from outside, smooth normals on
curved surfaces and flat normals on caps. Texture coordinates and normals are
written once per distinct value, as modelling tools export them.
"""

import math
import os
import sys

TAU = 2.0 * math.pi


def fmt(x):
    """Six decimals, with -0.000000 written as 0.000000."""
    text = "%.6f" % x
    return "0.000000" if text == "-0.000000" else text


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


class ObjWriter:
    """Collects positions, distinct texture coordinates and distinct normals,
    and faces whose corners are (position, uv or None, normal) indices."""

    def __init__(self):
        self.positions = []
        self.uvs = []
        self.uv_index = {}
        self.normals = []
        self.normal_index = {}
        self.lines = []

    def position(self, p):
        self.positions.append(p)
        self.lines.append("v %s %s %s" % tuple(fmt(c) for c in p))
        return len(self.positions)

    def uv(self, t):
        key = "%s %s" % (fmt(t[0]), fmt(t[1]))
        if key not in self.uv_index:
            self.uvs.append(t)
            self.uv_index[key] = len(self.uvs)
            self.lines.append("vt " + key)
        return self.uv_index[key]

    def normal(self, n):
        key = "%s %s %s" % tuple(fmt(c) for c in n)
        if key not in self.normal_index:
            self.normals.append(n)
            self.normal_index[key] = len(self.normals)
            self.lines.append("vn " + key)
        return self.normal_index[key]

    def triangle(self, corners, outward):
        """Writes corners [(p, t, n)] wound counter-clockwise about `outward`."""
        a, b, c = (self.positions[corner[0] - 1] for corner in corners)
        if dot(cross(sub(b, a), sub(c, a)), outward) < 0.0:
            corners = [corners[0], corners[2], corners[1]]
        parts = []
        for p, t, n in corners:
            parts.append("%d//%d" % (p, n) if t is None else "%d/%d/%d" % (p, t, n))
        self.lines.append("f " + " ".join(parts))

    def text(self, header):
        return "\n".join(header + self.lines) + "\n"


def capped_cylinder(obj, name, sides, radius, y_bottom, y_top):
    """A closed cylinder about the y axis: `sides` positions on each rim, two
    triangles per side and each cap fanned from its first rim position (no
    centre position), so 2 * sides positions and 4 * sides - 4 triangles."""
    obj.lines.append("o " + name)
    angles = [TAU * j / sides for j in range(sides)]
    bottom = [obj.position((radius * math.cos(a), y_bottom, radius * math.sin(a))) for a in angles]
    top = [obj.position((radius * math.cos(a), y_top, radius * math.sin(a))) for a in angles]

    side_normals = [obj.normal((math.cos(a), 0.0, math.sin(a))) for a in angles]
    # The seam column is repeated at u = 1 so the side's texture does not wrap back.
    bottom_uv = [obj.uv((j / sides, 0.0)) for j in range(sides + 1)]
    top_uv = [obj.uv((j / sides, 1.0)) for j in range(sides + 1)]
    cap_uv = [obj.uv((0.5 + 0.5 * math.cos(a), 0.5 + 0.5 * math.sin(a))) for a in angles]
    up = obj.normal((0.0, 1.0, 0.0))
    down = obj.normal((0.0, -1.0, 0.0))

    obj.lines.append("usemtl Kovina")
    obj.lines.append("s 1")
    for j in range(sides):
        k = (j + 1) % sides
        mid = (TAU * (j + 0.5)) / sides
        outward = (math.cos(mid), 0.0, math.sin(mid))
        b0 = (bottom[j], bottom_uv[j], side_normals[j])
        b1 = (bottom[k], bottom_uv[j + 1], side_normals[k])
        t0 = (top[j], top_uv[j], side_normals[j])
        t1 = (top[k], top_uv[j + 1], side_normals[k])
        obj.triangle([b0, b1, t1], outward)
        obj.triangle([b0, t1, t0], outward)

    obj.lines.append("s off")
    for j in range(1, sides - 1):
        obj.triangle([(top[0], cap_uv[0], up), (top[j], cap_uv[j], up),
                      (top[j + 1], cap_uv[j + 1], up)], (0.0, 1.0, 0.0))
        obj.triangle([(bottom[0], cap_uv[0], down), (bottom[j], cap_uv[j], down),
                      (bottom[j + 1], cap_uv[j + 1], down)], (0.0, -1.0, 0.0))


def weight_model():
    obj = ObjWriter()
    # The rod reaches into the body, so no gap shows where they meet.
    capped_cylinder(obj, "Kavelj", 32, 0.12, -1.25, -0.005)
    capped_cylinder(obj, "Utez", 96, 1.0, -3.43, -1.2)
    return obj.text(["# Weight hung from a weighted branch; made by tools/gen_objs.py."])


def torus_model(major_segments=24, minor_segments=32, ring_radius=1.0, tube_radius=0.25):
    """Ring radius 1 plus tube radius 0.25 gives the outer radius 1.25. With the
    tube sampled at its top and bottom (minor segments divisible by 4) those two
    rings share one normal each."""
    obj = ObjWriter()
    obj.lines.append("o Torus")
    index = {}
    normal = {}
    for i in range(major_segments):
        theta = TAU * i / major_segments
        for j in range(minor_segments):
            phi = TAU * j / minor_segments
            spread = ring_radius + tube_radius * math.cos(phi)
            index[i, j] = obj.position((spread * math.cos(theta), tube_radius * math.sin(phi),
                                        spread * math.sin(theta)))
    for i in range(major_segments):
        theta = TAU * i / major_segments
        for j in range(minor_segments):
            phi = TAU * j / minor_segments
            normal[i, j] = obj.normal((math.cos(phi) * math.cos(theta), math.sin(phi),
                                       math.cos(phi) * math.sin(theta)))
    obj.lines.append("usemtl Vrv")
    obj.lines.append("s 1")
    for i in range(major_segments):
        i1 = (i + 1) % major_segments
        for j in range(minor_segments):
            j1 = (j + 1) % minor_segments
            theta = TAU * (i + 0.5) / major_segments
            phi = TAU * (j + 0.5) / minor_segments
            outward = (math.cos(phi) * math.cos(theta), math.sin(phi), math.cos(phi) * math.sin(theta))
            c00 = (index[i, j], None, normal[i, j])
            c10 = (index[i1, j], None, normal[i1, j])
            c11 = (index[i1, j1], None, normal[i1, j1])
            c01 = (index[i, j1], None, normal[i, j1])
            obj.triangle([c00, c10, c11], outward)
            obj.triangle([c00, c11, c01], outward)
    return obj.text(["# Ring at the anchor point of a tie; made by tools/gen_objs.py."])


def same_model(current, made):
    """True when two model texts differ at most in the last printed digit of
    their numbers: the maths library's last bit differs between CPUs, and a
    value may round to either side of a sixth decimal."""
    a, b = current.split(), made.split()
    if len(a) != len(b):
        return False
    for x, y in zip(a, b):
        if x == y:
            continue
        try:
            if abs(float(x) - float(y)) > 1.5e-6:
                return False
        except ValueError:
            return False
    return True


def main():
    """gen_objs.py [DIR] writes the models into DIR (view/objs by default);
    gen_objs.py --check [DIR] only compares them with the files there and
    fails when one differs (beyond the last digit of a number)."""
    args = sys.argv[1:]
    check = bool(args) and args[0] == "--check"
    if check:
        args = args[1:]
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = args[0] if args else os.path.join(root, "view", "objs")
    models = (("utez.obj", weight_model()), ("torus.obj", torus_model()))
    if check:
        stale = []
        for name, text in models:
            path = os.path.join(out_dir, name)
            try:
                with open(path, encoding="utf-8", newline="") as f:
                    current = f.read()
            except OSError:
                current = None
            if current is None or not same_model(current, text):
                stale.append(path)
        for path in stale:
            print("out of date: " + path + " (run tools/gen_objs.py)", file=sys.stderr)
        return 1 if stale else 0
    os.makedirs(out_dir, exist_ok=True)
    for name, text in models:
        with open(os.path.join(out_dir, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
