#!/usr/bin/python3
"""Draws every image of the Tarvo3 editor and writes the files that package them.

Run with Debian's python3-cairo:

    /usr/bin/python3 resources/make_images.py            # writes img/*.png, Tarvo.rc, ImageIds.h
    /usr/bin/python3 resources/make_images.py --preview /tmp/tarvo-preview

The build never runs this script: the PNGs, Tarvo.rc and ImageIds.h it writes
are kept in the repository. With --preview it also renders what the editor
window looks like with every control in its default state, once with the
pattern panel and once with the sequencer panel shown, together with the texts
the program draws itself, so the layout of the background can be checked.

The PNG files are written by hand-rolled code (RGBA, 8 bits per channel,
best-of filters, zlib level 9) so that a rerun gives byte-identical files and
no timestamp chunk makes every regeneration a change.
"""

import argparse
import math
import os
import struct
import sys
import zlib

import cairo

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------------------
# Colours of the editor (r, g, b in 0..1)
# ---------------------------------------------------------------------------


def rgb(hexcode, alpha=1.0):
    hexcode = hexcode.lstrip("#")
    return (int(hexcode[0:2], 16) / 255.0, int(hexcode[2:4], 16) / 255.0,
            int(hexcode[4:6], 16) / 255.0, alpha)


PANEL_TOP = rgb("#23272c")
PANEL_BOTTOM = rgb("#1b1e22")
SECTION_FILL = rgb("#2a2f36")
SECTION_EDGE = rgb("#3a4149")
BOARD_FILL = rgb("#101215")
BOARD_EDGE = rgb("#3a4149")
BOARD_SLOT = rgb("#171a1e")
WELL_FILL = rgb("#15181b")
LABEL = rgb("#c8cdd3")
LABEL_DIM = rgb("#8f979f")
HEADING = rgb("#e8b04a")
TRACK = rgb("#0e1013")
TICK = rgb("#6b747d")

BUTTON_OFF = rgb("#3b424a")
BUTTON_OFF_EDGE = rgb("#5d6670")
BUTTON_OFF_INK = rgb("#d5dae0")
BUTTON_ON = rgb("#f0b340")
BUTTON_ON_EDGE = rgb("#ffe0a0")
BUTTON_ON_INK = rgb("#1b1e22")

CELL_FILL = rgb("#3a4149")
CELL_LIGHT = rgb("#4c545d")
CELL_DARK = rgb("#2a3036")
ROVER_NORMAL = rgb("#ffd84a")
ROVER_NORMAL_EDGE = rgb("#5a4300")
ROVER_SLOW = rgb("#6fd0ff")
MARK_BACK = rgb("#15181b")

WALL_COLOURS = {
    "north": rgb("#5aa9ff"),
    "east": rgb("#62d26f"),
    "south": rgb("#ff9a3c"),
    "west": rgb("#c58cff"),
}

SANS = "Liberation Sans"
NARROW = "Liberation Sans Narrow"
LABEL_SIZE = 10.5
NARROW_SIZE = 11

# ---------------------------------------------------------------------------
# PNG output
# ---------------------------------------------------------------------------


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _filter_row(kind, row, prior):
    n = len(row)
    if kind == 0:
        return bytes(row)
    out = bytearray(n)
    for i in range(n):
        a = row[i - 4] if i >= 4 else 0
        b = prior[i]
        if kind == 1:
            out[i] = (row[i] - a) & 255
        elif kind == 2:
            out[i] = (row[i] - b) & 255
        elif kind == 3:
            out[i] = (row[i] - ((a + b) >> 1)) & 255
        else:
            c = prior[i - 4] if i >= 4 else 0
            out[i] = (row[i] - _paeth(a, b, c)) & 255
    return bytes(out)


def _row_cost(filtered):
    return sum(v if v < 128 else 256 - v for v in filtered)


def surface_rows(surface):
    """Straight (not premultiplied) RGBA rows of a cairo ARGB32 surface."""
    surface.flush()
    width, height = surface.get_width(), surface.get_height()
    stride = surface.get_stride()
    data = bytes(surface.get_data())
    rows = []
    for y in range(height):
        row = bytearray(width * 4)
        base = y * stride
        for x in range(width):
            # cairo keeps native-endian 0xAARRGGBB words: B, G, R, A in memory.
            b, g, r, a = data[base + 4 * x:base + 4 * x + 4]
            if a == 0:
                r = g = b = 0
            elif a < 255:
                r = min(255, (r * 255 + a // 2) // a)
                g = min(255, (g * 255 + a // 2) // a)
                b = min(255, (b * 255 + a // 2) // a)
            row[4 * x:4 * x + 4] = bytes((r, g, b, a))
        rows.append(bytes(row))
    return width, height, rows


def encode_png(width, height, rows):
    def chunk(tag, payload):
        body = tag + payload
        return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    candidates = []
    prior = bytes(width * 4)
    filtered_by_kind = {k: [] for k in range(5)}
    adaptive = []
    for row in rows:
        best = None
        for kind in range(5):
            f = _filter_row(kind, row, prior)
            filtered_by_kind[kind].append(bytes((kind,)) + f)
            cost = _row_cost(f)
            if best is None or cost < best[0]:
                best = (cost, kind)
        adaptive.append(filtered_by_kind[best[1]][-1])
        prior = row
    candidates.append(b"".join(adaptive))
    for kind in range(5):
        candidates.append(b"".join(filtered_by_kind[kind]))
    compressed = min((zlib.compress(c, 9) for c in candidates), key=len)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", compressed) + chunk(b"IEND", b"")


def write_png(path, surface):
    width, height, rows = surface_rows(surface)
    data = encode_png(width, height, rows)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    return len(data)


# ---------------------------------------------------------------------------
# Drawing helpers
# ---------------------------------------------------------------------------


def new_surface(width, height):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    ctx = cairo.Context(surface)
    options = cairo.FontOptions()
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    options.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    options.set_hint_metrics(cairo.HINT_METRICS_ON)
    ctx.set_font_options(options)
    return surface, ctx


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def fill_rect(ctx, x, y, w, h, colour):
    ctx.set_source_rgba(*colour)
    ctx.rectangle(x, y, w, h)
    ctx.fill()


def text_width(ctx, text, size, face=SANS, bold=False):
    ctx.select_font_face(face, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    return ctx.text_extents(text).x_advance


def draw_text(ctx, text, x, top, size=LABEL_SIZE, colour=LABEL, align="left",
              face=SANS, bold=False):
    """Draws text whose capitals start at row `top`; returns (left, right)."""
    ctx.select_font_face(face, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    width = ctx.text_extents(text).x_advance
    if align == "right":
        x = x - width
    elif align == "centre":
        x = x - width / 2.0
    baseline = top + round(size * 0.73)
    ctx.set_source_rgba(*colour)
    ctx.move_to(round(x), baseline)
    ctx.show_text(text)
    ctx.new_path()
    return round(x), round(x + width)


def draw_label(ctx, text, x, top, room, colour=LABEL, align="left"):
    """A control's label: the regular face when it fits in `room` pixels, else the narrow one."""
    if text_width(ctx, text, LABEL_SIZE) <= room:
        return draw_text(ctx, text, x, top, colour=colour, align=align)
    return draw_text(ctx, text, x, top, size=NARROW_SIZE, colour=colour, align=align, face=NARROW)


def frames_surface(width, frame_height, frames, draw_frame):
    surface, ctx = new_surface(width, frame_height * frames)
    for i in range(frames):
        ctx.save()
        ctx.rectangle(0, frame_height * i, width, frame_height)
        ctx.clip()
        ctx.translate(0, frame_height * i)
        draw_frame(ctx, i)
        ctx.restore()
    return surface


def polygon(ctx, points):
    ctx.move_to(*points[0])
    for p in points[1:]:
        ctx.line_to(*p)
    ctx.close_path()


# ---------------------------------------------------------------------------
# Cell pictures (17 x 17) and obstacle markers (5 x 5)
# ---------------------------------------------------------------------------

HEADING_ANGLES = {"north": 0, "east": 90, "south": 180, "west": 270,
                  "northeast": 45, "southeast": 135, "southwest": 225, "northwest": 315}


def draw_empty_cell(ctx):
    fill_rect(ctx, 0, 0, 17, 17, CELL_FILL)
    fill_rect(ctx, 0, 0, 17, 1, CELL_LIGHT)
    fill_rect(ctx, 0, 0, 1, 17, CELL_LIGHT)
    fill_rect(ctx, 0, 16, 17, 1, CELL_DARK)
    fill_rect(ctx, 16, 0, 1, 17, CELL_DARK)


def arrow_path(ctx, angle_degrees):
    """An arrow pointing north, turned by the heading; the head reaches the cell edge."""
    ctx.save()
    ctx.translate(8.5, 8.5)
    ctx.rotate(math.radians(angle_degrees))
    if angle_degrees % 90:
        # Diagonals have more room towards the corner.
        ctx.scale(1.12, 1.12)
    polygon(ctx, [(0, -7.3), (6.0, -0.8), (2.3, -0.8), (2.3, 6.6),
                  (-2.3, 6.6), (-2.3, -0.8), (-6.0, -0.8)])
    ctx.restore()


def draw_rover(ctx, heading, slow):
    draw_empty_cell(ctx)
    arrow_path(ctx, HEADING_ANGLES[heading])
    if slow:
        # A slow rover is hollow: a light outline with the cell showing through.
        ctx.set_source_rgba(*ROVER_SLOW)
        ctx.set_line_width(1.5)
        ctx.set_line_join(cairo.LINE_JOIN_MITER)
        ctx.stroke()
    else:
        ctx.set_source_rgba(*ROVER_NORMAL)
        ctx.fill_preserve()
        ctx.set_source_rgba(*ROVER_NORMAL_EDGE)
        ctx.set_line_width(0.8)
        ctx.stroke()


def draw_collision(ctx):
    draw_empty_cell(ctx)
    ctx.save()
    ctx.translate(8.5, 8.5)
    points = []
    for k in range(16):
        r = 7.6 if k % 2 == 0 else 3.2
        a = math.pi * 2 * k / 16
        points.append((r * math.sin(a), -r * math.cos(a)))
    polygon(ctx, points)
    ctx.set_source_rgba(*rgb("#ff4a3a"))
    ctx.fill_preserve()
    ctx.set_source_rgba(*rgb("#ffd0c0"))
    ctx.set_line_width(0.7)
    ctx.stroke()
    ctx.restore()


# 5 x 5 pixel patterns ('#' lit) and their colours, by obstacle image name.
MIRROR = "#e8f4ff"
TILTING = "#ff6ad5"
WEDGE = "#ffd84a"
PACE = "#6fd0ff"
MARKERS = {
    "mirrhor": (MIRROR, [".....", ".....", "#####", ".....", "....."]),
    "mirrvert": (MIRROR, ["..#..", "..#..", "..#..", "..#..", "..#.."]),
    "mirrup": (MIRROR, ["....#", "...#.", "..#..", ".#...", "#...."]),
    "mirrdown": (MIRROR, ["#....", ".#...", "..#..", "...#.", "....#"]),
    "pillar": ("#ffffff", [".....", ".###.", ".###.", ".###.", "....."]),
    "wedge_n": (WEDGE, [".....", "..#..", ".###.", "#####", "....."]),
    "wedge_e": (WEDGE, [".#...", ".##..", ".###.", ".##..", ".#..."]),
    "wedge_s": (WEDGE, [".....", "#####", ".###.", "..#..", "....."]),
    "wedge_w": (WEDGE, ["...#.", "..##.", ".###.", "..##.", "...#."]),
    "bounce": ("#ff9a3c", ["..#..", ".#.#.", "#...#", ".#.#.", "..#.."]),
    "wormhole": ("#b07cff", [".###.", "#...#", "#...#", "#...#", ".###."]),
    "spin": ("#62d26f", ["##..#", "..#.#", "..#..", "#.#..", "#..##"]),
    "pause": ("#ff5a4a", ["#...#", "#...#", "#...#", "#...#", "#...#"]),
    "mirruptilt": (TILTING, ["....#", "...#.", "..#..", ".#...", "#...."]),
    "mirrdowntilt": (TILTING, ["#....", ".#...", "..#..", "...#.", "....#"]),
    "mirrhortilt": (TILTING, [".....", ".....", "#####", ".....", "....."]),
    "mirrverttilt": (TILTING, ["..#..", "..#..", "..#..", "..#..", "..#.."]),
    "slow": (PACE, [".###.", ".#...", ".###.", "...#.", ".###."]),
    "fast": (PACE, [".###.", ".#...", ".##..", ".#...", ".#..."]),
    "togglepace": (PACE, ["#####", "..#..", "..#..", "..#..", "..#.."]),
}


def draw_marker(ctx, name):
    if name == "nomark":
        return  # fully transparent: the rover underneath stays visible
    colour, pattern = MARKERS[name]
    fill_rect(ctx, 0, 0, 5, 5, MARK_BACK)
    ctx.set_source_rgba(*rgb(colour))
    for y, line in enumerate(pattern):
        for x, c in enumerate(line):
            if c == "#":
                ctx.rectangle(x, y, 1, 1)
    ctx.fill()


# ---------------------------------------------------------------------------
# Knobs, switches, contacts, handles
# ---------------------------------------------------------------------------

KNOB_SWEEP = 135.0


def draw_knob_frame(ctx, index, frames):
    angle = math.radians(-KNOB_SWEEP + 2 * KNOB_SWEEP * index / (frames - 1))
    cx = cy = 16.0
    # Scale: a dark arc over the whole range and the value arc lit on top of it.
    ctx.set_line_width(2.0)
    ctx.set_line_cap(cairo.LINE_CAP_BUTT)
    start = math.radians(-KNOB_SWEEP) - math.pi / 2
    ctx.set_source_rgba(*rgb("#0c0e10"))
    ctx.arc(cx, cy, 14.6, start, math.radians(KNOB_SWEEP) - math.pi / 2)
    ctx.stroke()
    if index > 0:
        ctx.set_source_rgba(*HEADING)
        ctx.arc(cx, cy, 14.6, start, angle - math.pi / 2)
        ctx.stroke()
    # Body.
    ctx.arc(cx, cy, 12.2, 0, 2 * math.pi)
    ctx.set_source_rgba(*rgb("#15181b"))
    ctx.fill()
    gradient = cairo.RadialGradient(cx - 4, cy - 5, 1, cx, cy, 12)
    gradient.add_color_stop_rgb(0.0, 0.96, 0.97, 0.98)
    gradient.add_color_stop_rgb(0.55, 0.72, 0.74, 0.77)
    gradient.add_color_stop_rgb(1.0, 0.42, 0.45, 0.48)
    ctx.arc(cx, cy, 11.2, 0, 2 * math.pi)
    ctx.set_source(gradient)
    ctx.fill()
    # Pointer.
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_width(2.4)
    ctx.set_source_rgba(*rgb("#1b1e22"))
    ctx.move_to(cx + 3.0 * math.sin(angle), cy - 3.0 * math.cos(angle))
    ctx.line_to(cx + 10.0 * math.sin(angle), cy - 10.0 * math.cos(angle))
    ctx.stroke()


def knob(frames):
    return frames_surface(32, 32, frames, lambda ctx, i: draw_knob_frame(ctx, i, frames))


def led(size, off_fill, on_fill, glyph=None):
    """A round two-frame button: frame 1 dark, frame 2 lit."""
    def draw(ctx, i):
        c = size / 2.0
        ctx.arc(c, c, c - 0.5, 0, 2 * math.pi)
        ctx.set_source_rgba(*rgb("#0e1013"))
        ctx.fill()
        ctx.arc(c, c, c - 1.6, 0, 2 * math.pi)
        if i == 0:
            ctx.set_source_rgba(*off_fill)
            ctx.fill()
        elif glyph:
            # A lettered button stays evenly lit so that its dark letter reads.
            ctx.set_source_rgba(*on_fill)
            ctx.fill()
        else:
            gradient = cairo.RadialGradient(c - 1.5, c - 1.5, 0.5, c, c, c)
            gradient.add_color_stop_rgb(0.0, 1.0, 1.0, 0.93)
            gradient.add_color_stop_rgba(0.45, *on_fill)
            gradient.add_color_stop_rgba(1.0, *[v * 0.75 for v in on_fill[:3]], 1.0)
            ctx.set_source(gradient)
            ctx.fill()
        if glyph:
            ink = rgb("#101215") if i else on_fill
            draw_text(ctx, glyph, c + 0.5, round(c - 3.5), size=8.5, colour=ink,
                      align="centre", bold=True)
    return frames_surface(size, size, 2, draw)


def dim(colour, factor):
    return (colour[0] * factor, colour[1] * factor, colour[2] * factor, 1.0)


def button_face(ctx, w, h, on, radius=2.5):
    rounded_rect(ctx, 0.5, 0.5, w - 1, h - 1, radius)
    ctx.set_source_rgba(*(BUTTON_ON if on else BUTTON_OFF))
    ctx.fill_preserve()
    ctx.set_source_rgba(*(BUTTON_ON_EDGE if on else BUTTON_OFF_EDGE))
    ctx.set_line_width(1.0)
    ctx.stroke()


def icon_button(draw_icon, w=12, h=12):
    def draw(ctx, i):
        button_face(ctx, w, h, i == 1)
        ink = BUTTON_ON_INK if i else BUTTON_OFF_INK
        ctx.set_source_rgba(*ink)
        ctx.set_line_width(1.0)
        ctx.set_line_cap(cairo.LINE_CAP_BUTT)
        ctx.set_line_join(cairo.LINE_JOIN_MITER)
        draw_icon(ctx, ink)
    return frames_surface(w, h, 2, draw)


def icon_flip_horizontal(ctx, ink):
    ctx.rectangle(5.5, 2, 1, 8)
    ctx.fill()
    polygon(ctx, [(1.5, 6), (4.5, 3), (4.5, 9)])
    polygon(ctx, [(10.5, 6), (7.5, 3), (7.5, 9)])
    ctx.fill()


def icon_flip_vertical(ctx, ink):
    ctx.rectangle(2, 5.5, 8, 1)
    ctx.fill()
    polygon(ctx, [(6, 1.5), (3, 4.5), (9, 4.5)])
    polygon(ctx, [(6, 10.5), (3, 7.5), (9, 7.5)])
    ctx.fill()


def icon_shift(angle):
    def icon(ctx, ink):
        ctx.save()
        ctx.translate(6, 6)
        ctx.rotate(math.radians(angle))
        polygon(ctx, [(0, -4.6), (4, -0.6), (1.2, -0.6), (1.2, 4.4), (-1.2, 4.4),
                      (-1.2, -0.6), (-4, -0.6)])
        ctx.fill()
        ctx.restore()
    return icon


def icon_rotate(clockwise):
    def icon(ctx, ink):
        # Three quarters of a circle with the head at its open end.
        ctx.save()
        ctx.translate(6, 6.5)
        if not clockwise:
            ctx.scale(-1, 1)
        ctx.set_line_width(1.5)
        ctx.arc(0, 0, 3.3, math.radians(-90), math.radians(180))
        ctx.stroke()
        polygon(ctx, [(-3.3, -3.6), (-6.0, 0.4), (-0.6, 0.4)])
        ctx.restore()
        ctx.fill()
    return icon


def icon_stagger(down):
    def icon(ctx, ink):
        # Three columns of a sheared block: further right sits further down (or up).
        for k in range(3):
            y = 2 + 2 * k if down else 6 - 2 * k
            ctx.rectangle(2 + 3 * k, y, 2, 4)
        ctx.fill()
    return icon


def icon_record(ctx, ink):
    ctx.arc(6, 6, 3.2, 0, 2 * math.pi)
    ctx.set_source_rgba(*rgb("#ff4a3a"))
    ctx.fill_preserve()
    ctx.set_source_rgba(*ink)
    ctx.set_line_width(0.8)
    ctx.stroke()


def icon_clear(ctx, ink):
    ctx.set_line_width(1.6)
    ctx.move_to(3.2, 3.2)
    ctx.line_to(8.8, 8.8)
    ctx.move_to(8.8, 3.2)
    ctx.line_to(3.2, 8.8)
    ctx.stroke()


def icon_recall(ctx, ink):
    # Up towards the grid: the pattern goes back onto the board.
    polygon(ctx, [(6, 2), (10, 6.5), (2, 6.5)])
    ctx.fill()
    ctx.rectangle(2, 8, 8, 1.6)
    ctx.fill()


def icon_restore(ctx, ink):
    ctx.set_line_width(1.4)
    ctx.arc_negative(6, 6.3, 3.4, math.radians(200), math.radians(-60))
    ctx.stroke()
    polygon(ctx, [(1.2, 5.2), (4.6, 5.6), (2.4, 8.6)])
    ctx.fill()


def icon_paste(ctx, ink):
    ctx.set_line_width(1.0)
    ctx.rectangle(3.5, 3.5, 5, 6)
    ctx.stroke()
    ctx.rectangle(4.5, 2, 3, 2)
    ctx.fill()


def contact_triangle(up):
    def draw(ctx, i):
        fill = rgb("#6cf08a") if i else rgb("#2c6a3a")
        edge = rgb("#d8ffe0") if i else rgb("#4d9a5e")
        if up:
            polygon(ctx, [(4, 0.6), (7.6, 7.4), (0.4, 7.4)])
        else:
            polygon(ctx, [(4, 7.4), (7.6, 0.6), (0.4, 0.6)])
        ctx.set_source_rgba(*fill)
        ctx.fill_preserve()
        ctx.set_source_rgba(*edge)
        ctx.set_line_width(0.8)
        ctx.stroke()
    return frames_surface(8, 8, 2, draw)


def silver_shape(ctx, path):
    path(ctx)
    gradient = cairo.LinearGradient(0, 0, 0, 14)
    gradient.add_color_stop_rgb(0.0, 0.95, 0.96, 0.97)
    gradient.add_color_stop_rgb(1.0, 0.55, 0.58, 0.62)
    ctx.set_source(gradient)
    ctx.fill_preserve()
    ctx.set_source_rgba(*rgb("#15181b"))
    ctx.set_line_width(1.0)
    ctx.stroke()


def arrow_handle(angle):
    """12 x 12 handle shaped as an arrow pointing at the wall it belongs to."""
    surface, ctx = new_surface(12, 12)

    def path(c):
        c.save()
        c.translate(6, 6)
        c.rotate(math.radians(angle))
        polygon(c, [(-5.2, -5.2), (5.2, -5.2), (5.2, 0.6), (0, 5.4), (-5.2, 0.6)])
        c.restore()

    silver_shape(ctx, path)
    ctx.save()
    ctx.translate(6, 6)
    ctx.rotate(math.radians(angle))
    ctx.set_source_rgba(*rgb("#2a2f36"))
    ctx.rectangle(-0.6, -3.4, 1.2, 5.6)
    ctx.fill()
    ctx.restore()
    return surface


def rotate_handle():
    surface, ctx = new_surface(14, 14)
    silver_shape(ctx, lambda c: rounded_rect(c, 1.5, 1.5, 11, 11, 2.5))
    ctx.set_source_rgba(*rgb("#2a2f36"))
    polygon(ctx, [(2.8, 7), (5.6, 4.2), (5.6, 9.8)])
    polygon(ctx, [(11.2, 7), (8.4, 4.2), (8.4, 9.8)])
    ctx.fill()
    return surface


def palette_box():
    def draw(ctx, i):
        if i == 0:
            fill_rect(ctx, 0, 0, 21, 21, rgb("#0e1013"))
            ctx.set_source_rgba(*rgb("#4a525b"))
            ctx.set_line_width(1.0)
            ctx.rectangle(0.5, 0.5, 20, 20)
            ctx.stroke()
        else:
            fill_rect(ctx, 0, 0, 21, 21, rgb("#ffc440"))
            ctx.set_source_rgba(*rgb("#fff2c0"))
            ctx.set_line_width(1.0)
            ctx.rectangle(0.5, 0.5, 20, 20)
            ctx.stroke()
    return frames_surface(21, 21, 2, draw)


def empty_pattern():
    surface, ctx = new_surface(68, 68)
    fill_rect(ctx, 0, 0, 68, 68, rgb("#0c0e10"))
    ctx.set_source_rgba(*rgb("#1e2227"))
    for k in range(17):
        ctx.rectangle(4 * k, 0, 1, 68)
        ctx.rectangle(0, 4 * k, 68, 1)
    ctx.fill()
    ctx.set_source_rgba(*rgb("#3a4149"))
    ctx.set_line_width(1.0)
    ctx.rectangle(0.5, 0.5, 67, 67)
    ctx.stroke()
    fill_rect(ctx, 14, 28, 40, 13, rgb("#0c0e10"))
    draw_text(ctx, "empty", 34, 31, size=10, colour=LABEL_DIM, align="centre")
    return surface


def stop_go():
    def draw(ctx, i):
        ctx.arc(7, 7, 6.5, 0, 2 * math.pi)
        ctx.set_source_rgba(*rgb("#0e1013"))
        ctx.fill()
        ctx.arc(7, 7, 5.6, 0, 2 * math.pi)
        ctx.set_source_rgba(*(rgb("#3fd160") if i else rgb("#3b424a")))
        ctx.fill()
        if i:
            ctx.set_source_rgba(*rgb("#0e2a14"))
            polygon(ctx, [(5.2, 3.6), (10.2, 7), (5.2, 10.4)])
        else:
            ctx.set_source_rgba(*rgb("#ff5a4a"))
            ctx.rectangle(4.5, 4.5, 5, 5)
        ctx.fill()
    return frames_surface(14, 14, 2, draw)


def text_button(w, h, text, size, face=SANS):
    def draw(ctx, i):
        button_face(ctx, w, h, i == 1, radius=3.5)
        ink = BUTTON_ON_INK if i else BUTTON_OFF_INK
        draw_text(ctx, text, w / 2.0, round(h / 2.0 - size * 0.36), size=size, colour=ink,
                  align="centre", face=face, bold=True)
    return frames_surface(w, h, 2, draw)


def step_switch(on_colour):
    def draw(ctx, i):
        fill_rect(ctx, 0, 0, 13, 9, rgb("#0e1013"))
        fill_rect(ctx, 1, 1, 11, 7, on_colour if i else rgb("#353b42"))
    return frames_surface(13, 9, 2, draw)


# ---------------------------------------------------------------------------
# Editor layout (positions of the controls, as the editor places them)
# ---------------------------------------------------------------------------

# (parameter, x, y, frames, label)
KNOBS = [
    ("NoteProb", 634, 10, 101, "Note prob"),
    ("Tilt", 634, 50, 101, "Tilt"),
    ("ObsProb", 634, 91, 101, "Obst. prob"),
    ("GrpLim", 634, 130, 101, "Group limit"),
    ("Wobble", 546, 114, 101, "Wobble"),
    ("RepeatProb", 634, 170, 101, "Repeat prob"),
    ("RptLen", 634, 210, 101, "Repeat len"),
    ("TimeUnits", 634, 266, 16, "Step"),
    ("Slow", 634, 306, 101, "Slow"),
    ("LengthUnits", 634, 346, 16, "Length"),
    ("Velocity", 634, 426, 128, "Velocity"),
    ("VelJitt", 634, 466, 128, "Vel jitter"),
    ("Channel", 546, 250, 16, "MIDI ch"),
    ("NumRows", 79, 356, 17, "Rows"),
    ("NumColums", 90, 402, 17, "Columns"),
    ("Swing", 546, 290, 101, "Swing"),
    ("DurJitt", 634, 386, 101, "Dur jitter"),
    ("Human", 546, 330, 101, "Human"),
    ("WrapProb", 546, 34, 101, "Wrap prob"),
    ("NearProb", 546, 74, 101, "Near prob"),
    ("Simple", 546, 370, 101, "Every Nth"),
    ("SeqNStep", 82, 490, 128, "Seq steps"),
]

TRANSFORMS = [  # (parameter, x, y, image)
    ("MFlipH", 124, 228, "flip-horiz"), ("MFlipV", 144, 228, "flip-vert"),
    ("MShiftU", 124, 248, "shift-up"), ("MShiftD", 144, 248, "shift-down"),
    ("MShiftL", 124, 268, "shift-left"), ("MShiftR", 144, 268, "shift-right"),
    ("MRotL", 124, 288, "rotate-left"), ("MRotR", 144, 288, "rotate-right"),
    ("MStagrD", 124, 308, "stagger-down"), ("MStagrU", 144, 308, "stagger-up"),
]
# Shift covers two rows; its label sits between them, clear of the west
# climb read-out beside the upper row.
TRANSFORM_LABELS = [(230, "Flip"), (260, "Shift"), (290, "Rotate"), (310, "Stagger")]

COMMANDS = [  # (parameter, y, label)
    ("RvDelNew", 243, "Newest rover"),
    ("RvDelOld", 259, "Oldest rover"),
    ("ClrRov", 275, "All rovers"),
    ("ClrObs", 291, "All obstacles"),
    ("ClrAll", 307, "Everything"),
    ("NudgeNew", 354, "Nudge new"),
    ("DragNew", 370, "Drag new"),
    ("NudgeOld", 402, "Nudge old"),
    ("DragOld", 418, "Drag old"),
]

SCALE_ROWS = [414 + 24 * k for k in range(4)]
SELECTOR_X = {"north": 198, "east": 222, "south": 246, "west": 270}
CELL_LEFT, CELL_TOP, CELL_PITCH = 207, 31, 19
BOARD = (200, 24, 535, 360)
FILE_SELECTOR = (537, 511)
# Scene files: a button with its label to the right, like the rover commands.
SCENE_BUTTONS = [(640, 538, "Load scene"), (640, 556, "Save scene")]
# Where the program writes its two-line messages (a refused scene file).
MESSAGE_LINE = (324, 502, 478, 540)


def rover_palette_boxes():
    rose = {"northwest": (0, 0), "north": (24, 0), "northeast": (48, 0), "west": (0, 24),
            "east": (48, 24), "southwest": (0, 48), "south": (24, 48), "southeast": (48, 48)}
    order = ["north", "east", "south", "west", "northeast", "southeast", "southwest", "northwest"]
    boxes = []
    for pace in range(2):
        for index, heading in enumerate(order):
            dx, dy = rose[heading]
            boxes.append((96 + dx, 8 + dy + 96 * pace, index + 8 * pace))
    return boxes


def obstacle_palette_boxes():
    return [(8 + 24 * (k % 3), 8 + 24 * (k // 3), k) for k in range(21)]


# ---------------------------------------------------------------------------
# Background
# ---------------------------------------------------------------------------


def section(ctx, x0, y0, x1, y1, fill=SECTION_FILL, edge=SECTION_EDGE, radius=5):
    """A rounded, outlined area from (x0, y0) to (x1, y1), right and bottom exclusive."""
    rounded_rect(ctx, x0 + 0.5, y0 + 0.5, x1 - x0 - 1, y1 - y0 - 1, radius)
    ctx.set_source_rgba(*fill)
    ctx.fill_preserve()
    ctx.set_source_rgba(*edge)
    ctx.set_line_width(1.0)
    ctx.stroke()


def slider_track(ctx, x, y, length, handle, horizontal, ticks, ticks_right=False):
    """Groove along the handle's centre line with one tick per value."""
    half = handle / 2.0
    if horizontal:
        cy = y + half
        x0, x1 = x + half, x + length - half
        fill_rect(ctx, x0 - 1, cy - 1.5, x1 - x0 + 2, 3, TRACK)
        ctx.set_source_rgba(*TICK)
        for k in range(ticks):
            tx = round(x0 + (x1 - x0) * k / (ticks - 1) - 0.5)
            h = 3 if k in (0, ticks // 2, ticks - 1) else 2
            ctx.rectangle(tx, y + handle + 1, 1, h)
        ctx.fill()
    else:
        cx = x + half
        y0, y1 = y + half, y + length - half
        fill_rect(ctx, cx - 1.5, y0 - 1, 3, y1 - y0 + 2, TRACK)
        ctx.set_source_rgba(*TICK)
        for k in range(ticks):
            ty = round(y0 + (y1 - y0) * k / (ticks - 1) - 0.5)
            w = 3 if k in (0, ticks // 2, ticks - 1) else 2
            ctx.rectangle(x + handle + 1 if ticks_right else x - 1 - w, ty, w, 1)
        ctx.fill()


def background():
    surface, ctx = new_surface(729, 650)
    gradient = cairo.LinearGradient(0, 0, 0, 650)
    gradient.add_color_stop_rgb(0, *PANEL_TOP[:3])
    gradient.add_color_stop_rgb(1, *PANEL_BOTTOM[:3])
    ctx.set_source(gradient)
    ctx.paint()

    # Recessed wells for the three editing surfaces: palettes, board, and the
    # pattern or sequencer panel below.
    section(ctx, 3, 3, 171, 196, fill=WELL_FILL)
    section(ctx, 24, 545, 606, 649, fill=WELL_FILL)

    # Board under the cells; empty slots show where cells can be switched on.
    bx0, by0, bx1, by1 = BOARD
    rounded_rect(ctx, bx0 + 0.5, by0 + 0.5, bx1 - bx0 - 1, by1 - by0 - 1, 3)
    ctx.set_source_rgba(*BOARD_FILL)
    ctx.fill_preserve()
    ctx.set_source_rgba(*BOARD_EDGE)
    ctx.set_line_width(1.0)
    ctx.stroke()
    ctx.set_source_rgba(*BOARD_SLOT)
    for r in range(17):
        for c in range(17):
            ctx.rectangle(CELL_LEFT + CELL_PITCH * c + 1, CELL_TOP + CELL_PITCH * r + 1, 15, 15)
    ctx.fill()

    # Palettes.
    draw_text(ctx, "Obstacles", 42.5, 180, colour=HEADING, align="centre", bold=True)
    draw_text(ctx, "Normal rover", 130.5, 82, colour=HEADING, align="centre", bold=True)
    draw_text(ctx, "Slow rover", 130.5, 180, colour=HEADING, align="centre", bold=True)
    for cy, hollow in ((8 + 24, False), (104 + 24, True)):
        # The middle of each compass rose: a hub, solid for normal, hollow for slow.
        ctx.arc(130.5, cy + 10.5, 4, 0, 2 * math.pi)
        if hollow:
            ctx.set_source_rgba(*ROVER_SLOW)
            ctx.set_line_width(1.5)
            ctx.stroke()
        else:
            ctx.set_source_rgba(*ROVER_NORMAL)
            ctx.fill()

    # Climb sliders on the four sides of the board.
    slider_track(ctx, 331, 6, 76, 12, True, 17)
    slider_track(ctx, 331, 366, 76, 12, True, 17)
    slider_track(ctx, 541, 155, 76, 12, False, 17, ticks_right=True)
    slider_track(ctx, 182, 155, 76, 12, False, 17)
    draw_text(ctx, "Climb", 326, 8, align="right")
    draw_text(ctx, "Climb", 326, 368, align="right")
    draw_text(ctx, "Climb", 560, 189)
    draw_text(ctx, "Climb", 188, 143, size=NARROW_SIZE, align="centre", face=NARROW)

    # Rover editing: delete and clear, transforms, nudge and drag.
    for _, y, text in COMMANDS:
        draw_text(ctx, text, 34, y + 2, size=NARROW_SIZE, face=NARROW)
    draw_text(ctx, "Delete", 10, 226, colour=HEADING, bold=True)
    draw_text(ctx, "Transform", 124, 213, colour=HEADING, bold=True)
    for y, text in TRANSFORM_LABELS:
        draw_text(ctx, text, 159, y, size=NARROW_SIZE, face=NARROW)
    draw_text(ctx, "Run", 145, 335, align="right")
    draw_text(ctx, "Nudge fwd, drag back", 10, 338, size=NARROW_SIZE, colour=HEADING, bold=True, face=NARROW)

    # The timeline lock's switch, under the rover commands and in their style.
    draw_text(ctx, "Timeline", 10, 437, colour=HEADING, bold=True)
    draw_text(ctx, "Lock", 34, 454, size=NARROW_SIZE, face=NARROW)

    # Knob labels to the right of each knob, above the read-out.
    # The middle column's labels must stop short of the right column's knobs.
    for _, x, y, _, text in KNOBS:
        room = 44 if x == 546 else 52
        draw_label(ctx, text, x + 40, y + 2, room)

    # Time multipliers.
    draw_text(ctx, "Time", 661, 250, align="right")

    # The sequencer's on switch; the panel switches carry their words themselves.
    draw_text(ctx, "Seq on", 144, 471, align="right")

    # Scale slots: wall selector columns, transposition, rotation, direction.
    draw_text(ctx, "Wall plays", 241, 386, colour=HEADING, align="centre", bold=True)
    for wall, x in SELECTOR_X.items():
        draw_text(ctx, wall[0].upper(), x + 7.5, 397, colour=WALL_COLOURS[wall], align="centre", bold=True)
    draw_text(ctx, "Transpose", 314, 392, colour=HEADING, align="centre", bold=True)
    draw_text(ctx, "Rotate", 405, 392, colour=HEADING, align="centre", bold=True)
    draw_text(ctx, "Direction", 499, 392, colour=HEADING, align="centre", bold=True)
    for k, y in enumerate(SCALE_ROWS):
        slider_track(ctx, 350, y - 8, 99, 14, True, 17)
        draw_text(ctx, "Scale %d" % (k + 1), 541, y - 1)
        # The arrows beside the note move it by octaves.
        draw_text(ctx, "oct", 333, y - 4, size=9.5, colour=LABEL_DIM, face=NARROW)
    draw_text(ctx, "Mute", 290, 509)

    # File selectors draw nothing of their own while idle, so the background
    # carries their buttons: the scale file's, and the scene files' right of
    # the lower panel, under the scale name.
    def idle_file_button(x, y):
        ctx.save()
        ctx.translate(x, y)
        ctx.set_source_surface(IMAGES_BY_NAME["radio-yellow"], 0, 0)
        ctx.rectangle(0, 0, 14, 14)
        ctx.fill()
        ctx.restore()

    idle_file_button(*FILE_SELECTOR)
    draw_text(ctx, "Load scale", 534, 514, align="right")
    for x, y, text in SCENE_BUTTONS:
        idle_file_button(x, y)
        draw_text(ctx, text, x + 16, y + 2)

    # Product name, under the version text that the program draws.
    draw_text(ctx, "Tarvo3", 666, 604, size=24, colour=HEADING, align="centre", bold=True)
    draw_text(ctx, "Quillfen", 666, 630, size=10, colour=LABEL_DIM, align="centre")
    return surface


# ---------------------------------------------------------------------------
# Catalogue: id, file name, constant, size, frames, drawing
# ---------------------------------------------------------------------------

CELL_IMAGES = [
    (114, "empty17", "IMG_CELL_EMPTY", lambda ctx: draw_empty_cell(ctx)),
    (115, "north17", "IMG_CELL_NORTH", ("north", False)),
    (116, "east17", "IMG_CELL_EAST", ("east", False)),
    (117, "south17", "IMG_CELL_SOUTH", ("south", False)),
    (118, "west17", "IMG_CELL_WEST", ("west", False)),
    (119, "northeast17", "IMG_CELL_NORTHEAST", ("northeast", False)),
    (120, "southeast17", "IMG_CELL_SOUTHEAST", ("southeast", False)),
    (121, "southwest17", "IMG_CELL_SOUTHWEST", ("southwest", False)),
    (122, "northwest17", "IMG_CELL_NORTHWEST", ("northwest", False)),
    (123, "northslow17", "IMG_CELL_NORTH_SLOW", ("north", True)),
    (124, "eastslow17", "IMG_CELL_EAST_SLOW", ("east", True)),
    (125, "southslow17", "IMG_CELL_SOUTH_SLOW", ("south", True)),
    (126, "westslow17", "IMG_CELL_WEST_SLOW", ("west", True)),
    (127, "northeast17slow", "IMG_CELL_NORTHEAST_SLOW", ("northeast", True)),
    (128, "southeast17slow", "IMG_CELL_SOUTHEAST_SLOW", ("southeast", True)),
    (129, "southwest17slow", "IMG_CELL_SOUTHWEST_SLOW", ("southwest", True)),
    (130, "northwest17slow", "IMG_CELL_NORTHWEST_SLOW", ("northwest", True)),
    (131, "collid17", "IMG_CELL_COLLISION", lambda ctx: draw_collision(ctx)),
]

MARKER_IMAGES = [
    (132, "nomark", "IMG_MARK_NONE"),
    (133, "mirrhor", "IMG_MARK_MIRROR_HORIZONTAL"),
    (134, "mirrvert", "IMG_MARK_MIRROR_VERTICAL"),
    (135, "mirrup", "IMG_MARK_MIRROR_UP"),
    (136, "mirrdown", "IMG_MARK_MIRROR_DOWN"),
    (137, "pillar", "IMG_MARK_PILLAR"),
    (138, "wedge_n", "IMG_MARK_WEDGE_N"),
    (139, "wedge_e", "IMG_MARK_WEDGE_E"),
    (140, "wedge_s", "IMG_MARK_WEDGE_S"),
    (141, "wedge_w", "IMG_MARK_WEDGE_W"),
    (142, "bounce", "IMG_MARK_BOUNCE"),
    (143, "wormhole", "IMG_MARK_WORMHOLE"),
    (144, "spin", "IMG_MARK_SPIN"),
    (145, "pause", "IMG_MARK_PAUSE"),
    (146, "mirruptilt", "IMG_MARK_MIRROR_UP_TILT"),
    (147, "mirrdowntilt", "IMG_MARK_MIRROR_DOWN_TILT"),
    (148, "mirrhortilt", "IMG_MARK_MIRROR_HORIZONTAL_TILT"),
    (149, "mirrverttilt", "IMG_MARK_MIRROR_VERTICAL_TILT"),
    (150, "slow", "IMG_MARK_PACE_SLOW"),
    (151, "fast", "IMG_MARK_PACE_NORMAL"),
    (152, "togglepace", "IMG_MARK_PACE_TOGGLE"),
]


def cell_surface(picture):
    surface, ctx = new_surface(17, 17)
    if callable(picture):
        picture(ctx)
    else:
        draw_rover(ctx, *picture)
    return surface


def marker_surface(name):
    surface, ctx = new_surface(5, 5)
    draw_marker(ctx, name)
    return surface


# (id, name, constant, frames, factory); names without "img/" and ".png".
CONTROL_IMAGES = [
    (155, "radio-yellow", "IMG_RADIO_YELLOW", 2, lambda: led(14, rgb("#6a5a24"), rgb("#ffd23f"))),
    (156, "radio-red", "IMG_RADIO_RED", 2, lambda: led(14, rgb("#642a26"), rgb("#ff4a3a"))),
    (157, "radio-north", "IMG_RADIO_NORTH", 2, lambda: led(15, dim(WALL_COLOURS["north"], 0.3), WALL_COLOURS["north"], "N")),
    (158, "radio-east", "IMG_RADIO_EAST", 2, lambda: led(15, dim(WALL_COLOURS["east"], 0.3), WALL_COLOURS["east"], "E")),
    (159, "radio-south", "IMG_RADIO_SOUTH", 2, lambda: led(15, dim(WALL_COLOURS["south"], 0.3), WALL_COLOURS["south"], "S")),
    (160, "radio-west", "IMG_RADIO_WEST", 2, lambda: led(15, dim(WALL_COLOURS["west"], 0.3), WALL_COLOURS["west"], "W")),
    (161, "tarvo-circle-bg", "IMG_BACKGROUND", 1, background),
    (162, "contact-green-up", "IMG_CONTACT_UP", 2, lambda: contact_triangle(True)),
    (163, "contact-green-down", "IMG_CONTACT_DOWN", 2, lambda: contact_triangle(False)),
    (170, "silver-knob16", "IMG_KNOB16", 16, lambda: knob(16)),
    (171, "silver-knob17", "IMG_KNOB17", 17, lambda: knob(17)),
    (172, "silver-knob101", "IMG_KNOB101", 101, lambda: knob(101)),
    (173, "silver-knob128", "IMG_KNOB128", 128, lambda: knob(128)),
    (174, "arrow-handle14", "IMG_HANDLE_ROTATE", 1, rotate_handle),
    (175, "arrow-handle12", "IMG_HANDLE_CLIMB_NORTH", 1, lambda: arrow_handle(0)),
    (176, "arrow-handle12left", "IMG_HANDLE_CLIMB_EAST", 1, lambda: arrow_handle(90)),
    (177, "arrow-handle12right", "IMG_HANDLE_CLIMB_WEST", 1, lambda: arrow_handle(270)),
    (178, "arrow-handle12up", "IMG_HANDLE_CLIMB_SOUTH", 1, lambda: arrow_handle(180)),
    (179, "obstacle-selector-box", "IMG_PALETTE_BOX", 2, palette_box),
    (180, "empty-pattern", "IMG_EMPTY_PATTERN", 1, empty_pattern),
    (181, "capture-button", "IMG_PATTERN_SAVE", 2, lambda: icon_button(icon_record)),
    (182, "restore-button", "IMG_RESTORE_BUTTON", 2, lambda: icon_button(icon_restore)),
    (183, "clear-button", "IMG_PATTERN_CLEAR", 2, lambda: icon_button(icon_clear)),
    (184, "flip-horiz", "IMG_FLIP_HORIZONTAL", 2, lambda: icon_button(icon_flip_horizontal)),
    (185, "flip-vert", "IMG_FLIP_VERTICAL", 2, lambda: icon_button(icon_flip_vertical)),
    (186, "rotate-right", "IMG_ROTATE_RIGHT", 2, lambda: icon_button(icon_rotate(True))),
    (187, "rotate-left", "IMG_ROTATE_LEFT", 2, lambda: icon_button(icon_rotate(False))),
    (188, "copy-button", "IMG_PATTERN_RESTORE", 2, lambda: icon_button(icon_recall)),
    (189, "paste-button", "IMG_PASTE_BUTTON", 2, lambda: icon_button(icon_paste)),
    (190, "shift-right", "IMG_SHIFT_RIGHT", 2, lambda: icon_button(icon_shift(90))),
    (191, "shift-left", "IMG_SHIFT_LEFT", 2, lambda: icon_button(icon_shift(270))),
    (192, "shift-up", "IMG_SHIFT_UP", 2, lambda: icon_button(icon_shift(0))),
    (193, "shift-down", "IMG_SHIFT_DOWN", 2, lambda: icon_button(icon_shift(180))),
    (194, "stagger-up", "IMG_STAGGER_UP", 2, lambda: icon_button(icon_stagger(False))),
    (195, "stagger-down", "IMG_STAGGER_DOWN", 2, lambda: icon_button(icon_stagger(True))),
    (196, "stop-go", "IMG_STOP_GO", 2, stop_go),
    (197, "times-two", "IMG_TIMES_TWO", 2, lambda: text_button(15, 15, "x2", 8.5)),
    (198, "times-half", "IMG_TIMES_HALF", 2, lambda: text_button(15, 15, "\u00bd", 10.5, face="DejaVu Sans")),
    (199, "seq-toggle", "IMG_SEQ_TOGGLE", 2, lambda: text_button(60, 22, "Sequencer", 10.5)),
    (200, "pattern-toggle", "IMG_PATTERN_TOGGLE", 2, lambda: text_button(60, 22, "Patterns", 10.5)),
    (201, "mute-button", "IMG_STEP_MUTE", 2, lambda: step_switch(rgb("#ff4a3a"))),
    (202, "lock-button", "IMG_STEP_LOCK", 2, lambda: step_switch(rgb("#5aa9ff"))),
]

IMAGES_BY_NAME = {}


def catalogue():
    """Every image as (id, name, constant, frames, surface), in id order."""
    entries = []
    for image_id, name, constant, picture in CELL_IMAGES:
        entries.append((image_id, name, constant, 1, lambda picture=picture: cell_surface(picture)))
    for image_id, name, constant in MARKER_IMAGES:
        entries.append((image_id, name, constant, 1, lambda name=name: marker_surface(name)))
    entries.extend(CONTROL_IMAGES)
    entries.sort(key=lambda e: e[0])
    result = []
    # The background shows the file selector's button, so it is drawn last.
    for image_id, name, constant, frames, factory in sorted(entries, key=lambda e: e[0] == 161):
        surface = factory()
        IMAGES_BY_NAME[name] = surface
        result.append((image_id, name, constant, frames, surface))
    result.sort(key=lambda e: e[0])
    return result


# ---------------------------------------------------------------------------
# Resource script and id header
# ---------------------------------------------------------------------------


def write_resource_script(path, images):
    lines = [
        "// PNG images of the editor, loaded by numeric id as resources of type \"PNG\".",
        "// Written by make_images.py together with the images; the Linux build reads",
        "// the same lines to embed the same files.",
        "",
    ]
    for image_id, name, _, _, _ in images:
        lines.append('%d PNG "img/%s.png"' % (image_id, name))
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def write_id_header(path, images):
    out = [
        "#pragma once",
        "",
        "// Resource ids of the editor's PNG images and the names the editor loads",
        "// them by. Written by make_images.py together with the images and Tarvo.rc;",
        "// change the catalogue there so that the three stay in step.",
        "",
        "// clang-format off",
        "",
    ]
    width = max(len(c) for _, _, c, _, _ in images)
    for image_id, _, constant, _, _ in images:
        out.append("constexpr int %s = %d;" % (constant.ljust(width), image_id))
    out += [
        "",
        "// Cell pictures by rover display code (0 empty, 1-8 normal rovers by",
        "// heading, 9-16 slow rovers, 17 collision) and obstacle markers by kind.",
        "constexpr int IMG_FIRST_CELL = IMG_CELL_EMPTY;",
        "constexpr int NUM_CELL_IMAGES = 18;",
        "constexpr int IMG_FIRST_MARK = IMG_MARK_NONE;",
        "constexpr int NUM_MARK_IMAGES = 21;",
        "",
        "struct ImageInfo",
        "{",
        "  int id;",
        "  const char* name;",
        "  int frames;",
        "};",
        "",
        "inline constexpr ImageInfo IMAGE_CATALOGUE[] = {",
    ]
    for image_id, name, constant, frames, _ in images:
        out.append('  {%s, "img/%s.png", %d},' % (constant, name, frames))
    out += [
        "};",
        "",
        "constexpr int NUM_IMAGES = static_cast<int>(sizeof(IMAGE_CATALOGUE) / sizeof(IMAGE_CATALOGUE[0]));",
        "",
        "// The catalogue entry of an id, or null for an id the editor never loads.",
        "inline const ImageInfo* FindImageInfo(int id)",
        "{",
        "  for (const ImageInfo& info : IMAGE_CATALOGUE)",
        "  {",
        "    if (info.id == id)",
        "    {",
        "      return &info;",
        "    }",
        "  }",
        "  return nullptr;",
        "}",
    ]
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(out) + "\n")


# ---------------------------------------------------------------------------
# Preview: the window as the editor would show it
# ---------------------------------------------------------------------------

DEFAULTS = {  # normalised default values of the knobs' parameters
    "NoteProb": 1.0, "Tilt": 0.5, "ObsProb": 1.0, "GrpLim": 0.0, "Wobble": 0.0,
    "RepeatProb": 0.0, "RptLen": 7 / 15, "TimeUnits": 7 / 15, "Slow": 0.9 / 3.9,
    "LengthUnits": 4 / 15, "Velocity": 80 / 127, "VelJitt": 0.0, "Channel": 0.0,
    "NumRows": 8 / 16, "NumColums": 8 / 16, "Swing": 0.0, "DurJitt": 0.0, "Human": 0.0,
    "WrapProb": 0.0, "NearProb": 0.0, "Simple": 0.0, "SeqNStep": 1.0,
}
READOUTS = {
    "NoteProb": "1.00", "Tilt": "0.50", "ObsProb": "1.00", "GrpLim": "100", "Wobble": "0.00",
    "RepeatProb": "0.00", "RptLen": "1/16t", "TimeUnits": "1/8", "Slow": "1.00",
    "LengthUnits": "1/4", "Velocity": "80", "VelJitt": "0", "Channel": "16",
    "NumRows": "9", "NumColums": "9", "Swing": "0.00", "DurJitt": "10.00", "Human": "0.00",
    "WrapProb": "0.00", "NearProb": "0.00", "Simple": "1", "SeqNStep": "32",
}


def blit_frame(ctx, surface, frames, x, y, value):
    w = surface.get_width()
    h = surface.get_height() // frames
    index = 0 if frames < 2 else min(frames - 1, int((frames - 1) * value + 0.5))
    ctx.save()
    ctx.rectangle(x, y, w, h)
    ctx.clip()
    ctx.set_source_surface(surface, x, y - h * index)
    ctx.paint()
    ctx.restore()


def program_text(ctx, text, rect, align, colour=(1, 1, 1, 1)):
    """Arial 14 (white unless told) as the editor draws it (Liberation Sans has Arial's metrics)."""
    x0, y0, x1, y1 = rect
    ctx.select_font_face(SANS)
    ctx.set_font_size(14)
    width = ctx.text_extents(text).x_advance
    x = x0 if align == "left" else (x1 - width if align == "right" else (x0 + x1 - width) / 2)
    ascent = ctx.font_extents()[0]
    ctx.set_source_rgba(*colour)
    ctx.move_to(round(x), y0 + round(ascent))
    ctx.show_text(text)
    ctx.new_path()


def hsv(h, s, v):
    h = (h % 360) / 60.0
    sector = int(h)
    f = h - sector
    p, q, t = v * (1 - s), v * (1 - s * f), v * (1 - s * (1 - f))
    return [(v, t, p), (q, v, p), (p, v, t), (p, q, v), (t, p, v), (v, p, q)][min(sector, 5)]


def render_preview(images, sequencer_shown, path):
    img = {name: (surface, frames) for _, name, _, frames, surface in images}
    surface, ctx = new_surface(729, 650)
    ctx.set_source_surface(img["tarvo-circle-bg"][0], 0, 0)
    ctx.paint()

    def put(name, x, y, value=0.0):
        s, frames = img[name]
        blit_frame(ctx, s, frames, x, y, value)

    # Wall strips of a 9 x 9 grid (mark 0 colours), then cells with a few rovers.
    rows = cols = 9
    for i in range(17):
        r, g, b = hsv(36 + 4.9411764 * i, 0.5, 0.5)
        ctx.set_source_rgb(r, g, b)
        if i < cols:
            ctx.rectangle(207 + 19 * i, 24, 17, 5)
            ctx.rectangle(207 + 19 * i, 31 + 19 * rows, 17, 5)
        if i < rows:
            ctx.rectangle(207 + 19 * cols, 31 + 19 * i, 5, 17)
            ctx.rectangle(200, 31 + 19 * i, 5, 17)
        ctx.fill()
    sample = {(1, 2): ("north17", "nomark"), (2, 5): ("southeast17slow", "nomark"),
              (4, 4): ("collid17", "nomark"), (3, 1): ("empty17", "mirrup"),
              (6, 6): ("west17", "wedge_s"), (5, 7): ("empty17", "wormhole"),
              (7, 2): ("eastslow17", "mirrhortilt"), (0, 8): ("empty17", "pause")}
    for r in range(rows):
        for c in range(cols):
            cell, mark = sample.get((r, c), ("empty17", "nomark"))
            x, y = 207 + 19 * c, 31 + 19 * r
            put(cell, x, y)
            put(mark, x + 6, y + 6)

    # Palettes (rover "north, normal" chosen).
    cell_names = [n for _, n, _, _ in CELL_IMAGES]
    for x, y, index in rover_palette_boxes():
        put("obstacle-selector-box", x, y, 1.0 if index == 0 else 0.0)
        put(cell_names[index + 1], x + 2, y + 2)
    for x, y, kind in obstacle_palette_boxes():
        put("obstacle-selector-box", x, y, 0.0)
        put("empty17", x + 2, y + 2)
        put(MARKER_IMAGES[kind][1], x + 8, y + 8)

    # Knobs and their read-outs.
    for param, x, y, frames, _ in KNOBS:
        put("silver-knob%d" % frames, x, y, DEFAULTS[param])
        program_text(ctx, READOUTS[param], (x + 40, y + 17, x + 70, y + 29), "left")

    # Scale slots.
    for wall, x in SELECTOR_X.items():
        for k in range(4):
            put("radio-" + wall, x, 408 + 24 * k, 1.0 if k == 0 else 0.0)
    for k, y in enumerate(SCALE_ROWS):
        program_text(ctx, "C#-1" if k == 3 else "D4", (298, y - 6, 322, y + 19), "left")
        put("contact-green-up", 323, y - 10)
        put("contact-green-down", 323, y)
        rotation = [0, 5, 16, 8][k]
        put("arrow-handle14", 350 + int((99 - 14) * rotation / 16), y - 8)
        program_text(ctx, str(rotation), (449, y - 6, 461, y + 14), "right")
        program_text(ctx, "Reverse" if k == 1 else "Forward", (477, y - 6, 522, y + 19), "left")
    for k, x in enumerate(SELECTOR_X.values()):
        put("radio-red", x, 506, 1.0 if k == 2 else 0.0)

    # Climb sliders at 0 (middle), read-outs centred.
    put("arrow-handle12", 331 + (76 - 12) // 2, 6)
    program_text(ctx, "0", (411, 6, 441, 26), "centre")
    put("arrow-handle12up", 331 + (76 - 12) // 2, 366)
    program_text(ctx, "-8", (411, 362, 441, 382), "centre")
    put("arrow-handle12left", 541, 155 + (76 - 12) // 2)
    program_text(ctx, "8", (541, 235, 571, 255), "centre")
    put("arrow-handle12right", 182, 155 + (76 - 12) // 2)
    program_text(ctx, "-8", (172, 235, 202, 255), "centre")

    # Switches and contacts.
    put("stop-go", 148, 332, 1.0)
    for _, x, y, name in TRANSFORMS:
        put(name, x, y)
    put("times-two", 665, 246, 1.0)
    put("times-half", 689, 246, 0.0)
    for _, y, _ in COMMANDS:
        put("radio-yellow", 18, y)
    put("radio-yellow", 18, 452, 1.0)  # the timeline lock, on
    program_text(ctx, "default", (554, 511, 754, 531), "left")
    put("stop-go", 147, 468, 1.0)
    put("pattern-toggle", 8, 475, 0.0 if sequencer_shown else 1.0)
    put("seq-toggle", 8, 500, 1.0 if sequencer_shown else 0.0)
    program_text(ctx, "Version 0.8", (644, 575, 684, 591), "right")
    # The longest message the line shows.
    for k, line in enumerate(("No file dialog:", "install zenity or kdialog")):
        x0, y0, x1, _ = MESSAGE_LINE
        program_text(ctx, line, (x0, y0 + 17 * k, x1, y0 + 17 * (k + 1)), "left", colour=HEADING)

    if sequencer_shown:
        for i in range(32):
            level = 128 if i % 4 == 0 else 64 + (i * 13) % 60
            left = 120 + 15 * i
            colour = (235, 101, 20) if i < 24 else (200, 12, 12)
            if i == 5:
                colour = (127, 127, 127)
            ctx.set_source_rgb(*[c / 255.0 for c in colour])
            ctx.rectangle(left, 616 - level // 2, 13, level // 2)
            ctx.fill()
            ctx.set_source_rgb(1, 1, 1) if i == 3 else ctx.set_source_rgb(0, 0, 0)
            ctx.rectangle(left, 618, 13, 2)
            ctx.fill()
            put("lock-button", left, 622, 1.0 if i in (2, 3) else 0.0)
            put("mute-button", left, 635, 1.0 if i == 5 else 0.0)
        program_text(ctx, "Velocity", (75, 552, 118, 552), "left")
        program_text(ctx, "Lock", (75, 620, 118, 632), "left")
        program_text(ctx, "Mute", (75, 633, 118, 645), "left")
    else:
        for k in range(8):
            x = 78 + 72 * k
            put("empty-pattern", x - 46, 552)
            put("capture-button", x - 40, 625)
            put("clear-button", x - 20, 625)
            put("copy-button", x, 625)
    surface.write_to_png(path)


def contact_sheet(images, path, scale=5):
    """Every small image with all its frames side by side, enlarged."""
    small = [(n, s, f) for _, n, _, f, s in images if s.get_width() <= 60 and f <= 2]
    sheet_w, x, y, row_h = 1500, 0, 0, 0
    placed = []
    for name, s, frames in small:
        fh = s.get_height() // frames
        w = max(frames * (s.get_width() * scale + 6), 110)
        h = fh * scale + 22
        if x + w > sheet_w:
            x, y, row_h = 0, y + row_h, 0
        placed.append((name, s, frames, x, y))
        x += w + 8
        row_h = max(row_h, h + 8)
    sheet, ctx = new_surface(sheet_w, y + row_h)
    ctx.set_source_rgba(*PANEL_TOP)
    ctx.paint()
    for name, s, frames, cx, cy in placed:
        fh = s.get_height() // frames
        for f in range(frames):
            ctx.save()
            ctx.translate(cx + f * (s.get_width() * scale + 6), cy)
            ctx.scale(scale, scale)
            pattern = cairo.SurfacePattern(s)
            pattern.set_filter(cairo.FILTER_NEAREST)
            m = cairo.Matrix()
            m.translate(0, fh * f)
            pattern.set_matrix(m)
            ctx.set_source(pattern)
            ctx.rectangle(0, 0, s.get_width(), fh)
            ctx.fill()
            ctx.restore()
        draw_text(ctx, name, cx, cy + fh * scale + 6, size=10, colour=LABEL)
    sheet.write_to_png(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also render previews into DIR")
    parser.add_argument("--no-write", action="store_true", help="do not rewrite the repository files")
    args = parser.parse_args()

    images = catalogue()
    if not args.no_write:
        total = 0
        for image_id, name, _, frames, surface in images:
            assert surface.get_height() % frames == 0, name
            total += write_png(os.path.join(HERE, "img", name + ".png"), surface)
        write_resource_script(os.path.join(HERE, "Tarvo.rc"), images)
        write_id_header(os.path.join(HERE, "ImageIds.h"), images)
        print("wrote %d images, %d bytes" % (len(images), total))
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        render_preview(images, False, os.path.join(args.preview, "preview-patterns.png"))
        render_preview(images, True, os.path.join(args.preview, "preview-sequencer.png"))
        contact_sheet(images, os.path.join(args.preview, "contact-sheet.png"))
        print("previews in %s" % args.preview)
    return 0


if __name__ == "__main__":
    sys.exit(main())
