#!/usr/bin/env python3
"""Draws the installer's artwork: the window background (as a PPM for cjpeg),
the animated logo (GIF89a, written by our own encoder so its structure is exact)
and the 16-colour application icon.

Usage: make_assets.py OUTDIR   (writes background.ppm, logo.gif, app.ico)
"""
import math
import struct
import sys

# ---------------------------------------------------------------- drawing kit


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def hexrgb(s):
    return tuple(int(s[i:i + 2], 16) for i in (0, 2, 4))


def coverage(d):
    """Antialiased coverage of a pixel whose centre is d pixels outside an edge."""
    return clamp(0.5 - d)


def sd_segment(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    wx, wy = px - ax, py - ay
    t = clamp((wx * vx + wy * vy) / (vx * vx + vy * vy)) if (vx or vy) else 0.0
    dx, dy = wx - vx * t, wy - vy * t
    return math.hypot(dx, dy)


def sd_box(px, py, x0, y0, x1, y1):
    """Signed distance to the axis-aligned box [x0,x1] x [y0,y1]."""
    dx = max(x0 - px, px - x1)
    dy = max(y0 - py, py - y1)
    outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
    return outside + min(max(dx, dy), 0.0)


def sd_round_box(px, py, x0, y0, x1, y1, r):
    return sd_box(px, py, x0 + r, y0 + r, x1 - r, y1 - r) - r


def sd_arc(px, py, cx, cy, radius, a0, a1):
    """Distance to a circle arc from angle a0 to a1 (degrees, y up)."""
    ang = math.degrees(math.atan2(cy - py, px - cx)) % 360.0
    lo, hi = a0 % 360.0, a1 % 360.0
    inside = lo <= ang <= hi if lo <= hi else (ang >= lo or ang <= hi)
    if inside:
        return abs(math.hypot(px - cx, py - cy) - radius)
    ends = [(cx + radius * math.cos(math.radians(a)), cy - radius * math.sin(math.radians(a)))
            for a in (a0, a1)]
    return min(math.hypot(px - ex, py - ey) for ex, ey in ends)


# ------------------------------------------------------------- the background

BG_W, BG_H = 752, 500
BAND_TOP = 247  # the dark band below the text box, where logo and buttons sit

SKY_TOP = hexrgb("F5F9FD")
SKY_LOW = hexrgb("D5E5F2")
BAND_HI = hexrgb("215A8F")
BAND_LO = hexrgb("0D2744")
GOLD = hexrgb("E3AE45")
NAVY = hexrgb("123A63")
WHITE = (255.0, 255.0, 255.0)

# Rising bars and a growth line between the logo and the buttons.
CHART_BASE = 322
CHART_BARS = [(214 + i * 24, 214 + i * 24 + 15, 10 + i * 6) for i in range(8)]
CHART_LINE = [(x0 + 7.5, CHART_BASE - h - 10 - (i % 2) * 3) for i, (x0, _, h) in enumerate(CHART_BARS)]


def sky(x, y):
    t = clamp((y / BAND_TOP) * 0.8 + (x / BG_W) * 0.2)
    c = mix(SKY_TOP, SKY_LOW, t)
    # Two faint rings in the right margin give the light area some depth.
    for cx, cy, r in ((700, 40, 120), (760, 200, 90)):
        d = abs(math.hypot(x - cx, y - cy) - r)
        c = mix(c, WHITE, 0.35 * coverage(d - 6))
    return c


def band(x, y):
    t = clamp((y - BAND_TOP) / (BG_H - BAND_TOP) * 1.6)
    c = mix(BAND_HI, BAND_LO, t)
    # A soft glow behind the buttons.
    g = math.exp(-(((x - 505) / 170.0) ** 2 + ((y - 287) / 55.0) ** 2))
    c = mix(c, hexrgb("3C7DB8"), 0.35 * g)
    for i, (x0, x1, h) in enumerate(CHART_BARS):
        if x0 <= x < x1 and CHART_BASE - h <= y < CHART_BASE:
            c = mix(c, WHITE, 0.08 + 0.02 * i)
    if 205 <= x <= 400 and CHART_BASE <= y < CHART_BASE + 1:
        c = mix(c, WHITE, 0.25)
    d = min(sd_segment(x + 0.5, y + 0.5, *a, *b) for a, b in zip(CHART_LINE, CHART_LINE[1:]))
    c = mix(c, GOLD, coverage(d - 1.3))
    ex, ey = CHART_LINE[-1]
    c = mix(c, GOLD, coverage(math.hypot(x + 0.5 - ex, y + 0.5 - ey) - 3.5))
    return c


def background_pixel(x, y):
    if y < BAND_TOP - 3:
        return sky(x, y)
    if y < BAND_TOP:
        # A gold rule between the light area and the band, fading to the right.
        base = sky(x, y) if y < BAND_TOP - 1 else band(x, BAND_TOP)
        return mix(base, GOLD, 0.95 - 0.6 * x / BG_W)
    return band(x, y)


def to_bytes(c):
    return bytes(int(round(clamp(v, 0, 255))) for v in c)


def write_background(path):
    rows = []
    for y in range(BG_H):
        rows.append(b"".join(to_bytes(background_pixel(x, y)) for x in range(BG_W)))
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (BG_W, BG_H))
        f.write(b"".join(rows))


# ------------------------------------------------------------------- the logo

LOGO_X, LOGO_Y, LOGO_W, LOGO_H = 11, 249, 177, 73
STROKE = 3.3  # half the letter stroke width

# The word "Norv" as strokes: segments, one ring and one arc.
WORD_SEGMENTS = [
    ((63, 20), (63, 44)), ((63, 20), (83, 44)), ((83, 20), (83, 44)),  # N
    ((121, 30), (121, 44)),  # r stem
    ((143, 30), (151, 44)), ((151, 44), (159, 30)),  # v
]
WORD_RING = (102, 37, 7.5)  # o
WORD_ARC = (128.5, 37.5, 7.5, 45, 180)  # shoulder of r

BAR_SPOTS = [(12, 20, 18), (24, 32, 28), (36, 44, 38)]  # x0, x1, full height
BAR_BASE = 58
GROWTH = [0.55, 0.7, 0.85, 1.0]
UNDERLINE = [26, 52, 78, 102]
BAR_BLUE = hexrgb("2A64A0")


def word_distance(px, py):
    d = min(sd_segment(px, py, *a, *b) for a, b in WORD_SEGMENTS)
    cx, cy, r = WORD_RING
    d = min(d, abs(math.hypot(px - cx, py - cy) - r))
    d = min(d, sd_arc(px, py, *WORD_ARC))
    return d - STROKE


def logo_pixel(frame, x, y):
    px, py = x + 0.5, y + 0.5
    c = background_pixel(LOGO_X + x, LOGO_Y + y)
    # The white card with a thin blue edge.
    card = sd_round_box(px, py, 1, 1, LOGO_W - 1, LOGO_H - 1, 9)
    c = mix(c, hexrgb("9DB9D6"), coverage(card))
    face = mix(WHITE, hexrgb("E8F0F8"), y / LOGO_H)
    c = mix(c, face, coverage(card + 1.2))
    # The bar mark: bars grow from frame to frame; one of them is gold, and in
    # the last frame a gold arrow rises over the full bars.
    for i, (x0, x1, full) in enumerate(BAR_SPOTS):
        top = BAR_BASE - full * GROWTH[frame]
        colour = GOLD if i == frame else BAR_BLUE
        c = mix(c, colour, coverage(sd_box(px, py, x0, top, x1, BAR_BASE)))
    c = mix(c, NAVY, coverage(sd_box(px, py, 9, BAR_BASE, 47, BAR_BASE + 1.5)))
    if frame == 3:
        d = min(sd_segment(px, py, 8, 46, 44, 14), sd_segment(px, py, 44, 14, 34, 15),
                sd_segment(px, py, 44, 14, 43, 24))
        c = mix(c, GOLD, coverage(d - 1.8))
    c = mix(c, NAVY, coverage(word_distance(px, py)))
    line = sd_segment(px, py, 61, 54, 61 + UNDERLINE[frame], 54) - 1.5
    c = mix(c, GOLD, coverage(line))
    return tuple(int(round(clamp(v, 0, 255))) for v in c)


def median_cut(colours, count):
    """Reduces a {colour: frequency} table to at most `count` colours."""
    boxes = [list(colours.items())]
    while len(boxes) < count:
        best, best_range, best_axis = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for axis in range(3):
                vals = [c[axis] for c, _ in box]
                r = max(vals) - min(vals)
                if r > best_range:
                    best, best_range, best_axis = i, r, axis
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda e: e[0][best_axis])
        total = sum(n for _, n in box)
        acc, cut = 0, 1
        for j, (_, n) in enumerate(box[:-1]):
            acc += n
            cut = j + 1
            if acc * 2 >= total:
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(int(round(sum(c[a] * n for c, n in box) / total)) for a in range(3)))
    return palette


def quantise(pixels):
    """Returns a 256-entry palette and the index of every pixel."""
    freq = {}
    for p in pixels:
        freq[p] = freq.get(p, 0) + 1
    palette = sorted(set(median_cut(freq, 256)))
    palette += [(0, 0, 0)] * (256 - len(palette))
    nearest = {}
    for p in freq:
        nearest[p] = min(range(256), key=lambda i: sum((a - b) ** 2 for a, b in zip(p, palette[i])))
    return palette, bytes(nearest[p] for p in pixels)


def lzw_encode(indices, min_code_size=8):
    """GIF LZW: variable code width from min_code_size+1 up to 12 bits, a clear
    code when the table is full, codes packed least significant bit first."""
    clear, eoi = 1 << min_code_size, (1 << min_code_size) + 1
    out, acc, nbits = bytearray(), 0, 0

    def emit(code, width):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    width, next_code, table = min_code_size + 1, eoi + 1, {}
    emit(clear, width)
    current = indices[0]
    for pixel in indices[1:]:
        key = (current, pixel)
        if key in table:
            current = table[key]
            continue
        emit(current, width)
        # Widen before the entry that needs the extra bit, as the decoder will.
        if next_code == (1 << width) and width < 12:
            width += 1
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
        else:
            emit(clear, width)
            width, next_code, table = min_code_size + 1, eoi + 1, {}
        current = pixel
    emit(current, width)
    if next_code == (1 << width) and width < 12:
        width += 1
    emit(eoi, width)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return bytes(out + b"\x00")


def colour_table(palette):
    return b"".join(bytes(c) for c in palette)


def write_logo(path):
    gif = bytearray(b"GIF89a")
    frames = []
    for f in range(4):
        pixels = [logo_pixel(f, x, y) for y in range(LOGO_H) for x in range(LOGO_W)]
        frames.append(quantise(pixels))
    # Logical screen: global table of 256 entries, 8-bit colour resolution, background index 0.
    gif += struct.pack("<HHBBB", LOGO_W, LOGO_H, 0xF7, 0, 0)
    gif += colour_table(frames[0][0])
    gif += b"\x21\xFF\x0BNETSCAPE2.0" + bytes([3, 1]) + struct.pack("<H", 0) + b"\x00"
    for f, (palette, indices) in enumerate(frames):
        # Graphic control: disposal 2, no user input, no transparency, delay 50.
        gif += b"\x21\xF9\x04" + bytes([2 << 2]) + struct.pack("<H", 50) + b"\x00\x00"
        local = 0x00 if f == 0 else 0x87  # frames 2-4: local table of 256 entries
        gif += b"\x2C" + struct.pack("<HHHHB", 0, 0, LOGO_W, LOGO_H, local)
        if f:
            gif += colour_table(palette)
        gif += b"\x08" + sub_blocks(lzw_encode(indices))
    gif += b"\x3B"
    with open(path, "wb") as out:
        out.write(gif)


# ------------------------------------------------------------------- the icon

ICON_PALETTE = [
    (0, 0, 0), hexrgb("0D2744"), hexrgb("123A63"), hexrgb("215A8F"), hexrgb("2A64A0"),
    hexrgb("3C7DB8"), hexrgb("9DB9D6"), hexrgb("D5E5F2"), (255, 255, 255), hexrgb("E3AE45"),
    hexrgb("B8862A"), hexrgb("F3D38C"), (128, 128, 128), (192, 192, 192), (64, 64, 64),
    (255, 0, 255),
]


def icon_pixel(x, y):
    """Palette index and opacity of one icon pixel: a blue tile with three
    rising bars, the last one gold."""
    px, py = x + 0.5, y + 0.5
    if sd_round_box(px, py, 1, 1, 31, 31, 5) > 0:
        return 0, False
    if sd_round_box(px, py, 2, 2, 30, 30, 4) > 0:
        return 1, True
    index = 3 if y < 16 else 2
    for x0, x1, top, colour in ((7, 12, 19, 7), (14, 19, 13, 8), (21, 26, 7, 9)):
        if x0 <= x < x1 and top <= y < 26:
            index = colour if x < x1 - 1 else (6 if colour != 9 else 10)
    if 6 <= x < 27 and 26 <= y < 27:
        index = 8
    return index, True


def write_icon(path):
    size = 32
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):  # DIB rows run bottom-up
        cells = [icon_pixel(x, y) for x in range(size)]
        xor_rows.append(bytes((cells[x][0] << 4) | cells[x + 1][0] for x in range(0, size, 2)))
        mask = 0
        for x, (_, opaque) in enumerate(cells):
            if not opaque:
                mask |= 1 << (31 - x)
        and_rows.append(struct.pack(">I", mask))
    image = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    image += b"".join(bytes((b, g, r, 0)) for r, g, b in ICON_PALETTE)
    image += b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(header + entry + image)


if __name__ == "__main__":
    outdir = sys.argv[1] if len(sys.argv) > 1 else "."
    write_background(f"{outdir}/background.ppm")
    write_logo(f"{outdir}/logo.gif")
    write_icon(f"{outdir}/app.ico")
