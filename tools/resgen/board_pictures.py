#!/usr/bin/env python3
"""Draws the player's pictures and writes them as .ico, .cur, .bmp and .avi files.

Usage: board_pictures.py OUTPUT_FOLDER

Every picture is drawn on a 16-unit grid and scaled to the pixel size asked
for, with 4 x 4 supersampling for smooth edges. Only the standard library is
used, so the build needs nothing but python3.
"""
import math
import struct
import sys
from pathlib import Path

SUPERSAMPLING = 4
GRID = 16.0
# Bitmaps without an alpha channel mark their background with this colour.
KEY_COLOUR = (255, 0, 255)

DAY_GREEN = (34, 139, 34)
NIGHT_TREE = (40, 110, 90)
NIGHT_SKY = (25, 32, 72)
SUN = (255, 200, 40)
MOON = (240, 236, 190)
GREY = (140, 140, 140)
DARK_GREY = (70, 70, 70)
RED = (220, 30, 30)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
BLUE = (40, 90, 200)
SKY_BLUE = (70, 150, 230)
TRUNK = (120, 72, 30)
SPEAKER = (60, 60, 70)
WAVE = (30, 160, 60)


# --- shapes: predicates over points of the 16-unit grid -----------------

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def segment(x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2
    return inside


def arc(cx, cy, r, width, start_deg, end_deg):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        a = math.degrees(math.atan2(cy - y, x - cx))
        return abs(d - r) <= width / 2 and start_deg <= a <= end_deg
    return inside


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


# --- canvas ----------------------------------------------------------------

class Canvas:
    """Premultiplied RGBA pixels; shapes are given in grid units."""

    def __init__(self, size):
        self.size = size
        self.scale = GRID / size
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def fill(self, shape, colour):
        step = 1.0 / SUPERSAMPLING
        offsets = [(i + 0.5) * step for i in range(SUPERSAMPLING)]
        total = SUPERSAMPLING * SUPERSAMPLING
        r, g, b = (c / 255.0 for c in colour)
        for py in range(self.size):
            row = self.pixels[py]
            for px in range(self.size):
                hits = sum(1 for oy in offsets for ox in offsets
                           if shape((px + ox) * self.scale, (py + oy) * self.scale))
                if hits:
                    a = hits / total
                    pr, pg, pb, pa = row[px]
                    row[px] = (r * a + pr * (1 - a), g * a + pg * (1 - a),
                               b * a + pb * (1 - a), a + pa * (1 - a))

    def rgba(self, x, y):
        r, g, b, a = self.pixels[y][x]
        if a <= 0:
            return 0, 0, 0, 0
        return tuple(min(255, round(c / a * 255)) for c in (r, g, b)) + (round(a * 255),)

    def rgb_on_key(self, x, y):
        r, g, b, a = self.rgba(x, y)
        return KEY_COLOUR if a < 96 else (r, g, b)


def draw(size, *painters):
    canvas = Canvas(size)
    for paint in painters:
        paint(canvas)
    return canvas


# --- picture parts ---------------------------------------------------------

def fir(colour, trunk=TRUNK, dx=0.0):
    def paint(c):
        c.fill(rect(7.0 + dx, 12.5, 9.0 + dx, 15.5), trunk)
        c.fill(polygon([(8 + dx, 1.0), (12.5 + dx, 7.0), (3.5 + dx, 7.0)]), colour)
        c.fill(polygon([(8 + dx, 4.0), (14.0 + dx, 11.0), (2.0 + dx, 11.0)]), colour)
        c.fill(polygon([(8 + dx, 7.0), (15.5 + dx, 13.5), (0.5 + dx, 13.5)]), colour)
    return paint


def sun(cx, cy, r):
    def paint(c):
        for k in range(8):
            a = math.radians(k * 45)
            c.fill(segment(cx + math.cos(a) * r * 1.3, cy + math.sin(a) * r * 1.3,
                           cx + math.cos(a) * r * 1.8, cy + math.sin(a) * r * 1.8, r * 0.35), SUN)
        c.fill(circle(cx, cy, r), SUN)
    return paint


def moon(cx, cy, r, colour=MOON):
    return lambda c: c.fill(minus(circle(cx, cy, r), circle(cx + r * 0.55, cy - r * 0.35, r * 0.85)), colour)


def night_sky(c):
    c.fill(circle(8, 8, 8), NIGHT_SKY)


def clock_badge(c):
    c.fill(circle(11.5, 11.5, 4.5), DARK_GREY)
    c.fill(circle(11.5, 11.5, 3.6), WHITE)
    c.fill(segment(11.5, 11.5, 11.5, 9.0, 0.9), DARK_GREY)
    c.fill(segment(11.5, 11.5, 13.3, 11.5, 0.9), DARK_GREY)


def speaker(colour):
    return lambda c: c.fill(polygon([(1.5, 6), (4.5, 6), (8.5, 2.5), (8.5, 13.5), (4.5, 10), (1.5, 10)]), colour)


def sound_waves(count, colour=WAVE):
    def paint(c):
        for k in range(count):
            c.fill(arc(7.0, 8.0, 3.6 + 2.6 * k, 1.4, -55, 55), colour)
    return paint


def red_cross(x0, y0, x1, y1, width=1.6):
    def paint(c):
        c.fill(segment(x0, y0, x1, y1, width), RED)
        c.fill(segment(x0, y1, x1, y0, width), RED)
    return paint


def cloud(colour):
    def paint(c):
        for cx, cy, r in ((5.5, 6.5, 3.0), (9.0, 5.0, 3.8), (12.0, 7.0, 2.8)):
            c.fill(circle(cx, cy, r), colour)
        c.fill(rect(3.0, 6.5, 13.5, 9.5), colour)
    return paint


def rain_drops(c):
    for x in (4.5, 8.0, 11.5):
        c.fill(segment(x, 11.0, x - 1.0, 14.5, 1.2), SKY_BLUE)


def stop_bar(c):
    c.fill(circle(12, 12, 4), RED)
    c.fill(rect(9.5, 11.2, 14.5, 12.8), WHITE)


def key_cap(c):
    c.fill(rect(1.5, 3.5, 14.5, 12.5), DARK_GREY)
    c.fill(rect(2.5, 4.0, 13.5, 10.5), (225, 225, 230))
    c.fill(segment(5.0, 7.0, 11.0, 7.0, 1.4), DARK_GREY)


def info_sign(c):
    c.fill(circle(8, 8, 7.2), BLUE)
    c.fill(circle(8, 4.3, 1.3), WHITE)
    c.fill(rect(6.9, 6.6, 9.1, 12.5), WHITE)


def update_globe(c):
    c.fill(circle(8, 8, 7), SKY_BLUE)
    c.fill(arc(8, 8, 4.5, 1.0, -180, 180), WHITE)
    c.fill(rect(7.4, 1.0, 8.6, 15.0), WHITE)
    c.fill(polygon([(8, 15.5), (3.5, 10), (12.5, 10)]), DAY_GREEN)


def sliders(c):
    for y, knob in ((4.0, 10.5), (8.0, 5.0), (12.0, 8.5)):
        c.fill(rect(1.5, y - 0.6, 14.5, y + 0.6), DARK_GREY)
        c.fill(rect(knob - 1.2, y - 2.0, knob + 1.2, y + 2.0), DAY_GREEN)


def power_sign(c):
    c.fill(minus(arc(8, 8.5, 5.5, 1.8, -240, 60), rect(6.3, 0, 9.7, 6)), RED)
    c.fill(segment(8, 1.5, 8, 8.0, 1.8), RED)


def minimize_sign(c):
    c.fill(polygon([(3, 5), (13, 5), (8, 11)]), DARK_GREY)
    c.fill(rect(3, 12.5, 13, 14), DARK_GREY)


def split_bars(grow):
    """The limiter edge cursor: two bars with arrows up and down, grown by grow for the outline."""
    g = grow
    return [rect(2.5 - g, 6.0 - g, 13.5 + g, 7.2 + g), rect(2.5 - g, 8.8 - g, 13.5 + g, 10.0 + g),
            polygon([(8, 0.6 - 1.4 * g), (5.2 - 1.4 * g, 4.2 + g), (10.8 + 1.4 * g, 4.2 + g)]),
            polygon([(8, 15.4 + 1.4 * g), (5.2 - 1.4 * g, 11.8 - g), (10.8 + 1.4 * g, 11.8 - g)]),
            rect(7.4 - g, 4.0, 8.6 + g, 6.0), rect(7.4 - g, 10.0, 8.6 + g, 12.0)]


def vertical_split(c):
    for shape in split_bars(0.6):
        c.fill(shape, WHITE)
    for shape in split_bars(0.0):
        c.fill(shape, BLACK)


def note_folder(c):
    c.fill(polygon([(1, 4), (6, 4), (7.5, 5.5), (15, 5.5), (15, 14), (1, 14)]), (230, 180, 60))
    c.fill(rect(1.5, 7, 14.5, 13.5), (250, 215, 110))
    c.fill(circle(6.8, 11.6, 1.5), DARK_GREY)
    c.fill(rect(7.6, 6.5, 8.4, 11.6), DARK_GREY)
    c.fill(polygon([(8.4, 6.5), (11.5, 7.8), (11.5, 9.0), (8.4, 7.9)]), DARK_GREY)


# --- pictures --------------------------------------------------------------

def tray_icon(night, silent, armed):
    parts = []
    if night:
        parts += [night_sky, moon(11.5, 4.5, 2.8), fir(GREY if silent else NIGHT_TREE, DARK_GREY, dx=-1.0)]
    else:
        if not silent:
            parts.append(sun(12.5, 3.5, 2.3))
        parts.append(fir(GREY if silent else DAY_GREEN, DARK_GREY if silent else TRUNK, dx=-1.0))
    if armed:
        parts.append(clock_badge)
    return parts


TRAY_ICONS = {
    "if": (False, False, False), "ift": (False, False, True),
    "ifx": (False, True, False), "ifxt": (False, True, True),
    "ifn": (True, False, False), "ifnt": (True, False, True),
    "ifnx": (True, True, False), "ifnxt": (True, True, True),
}

# Menu and button images, 16 x 16 each, in the order of the image list.
POPUP_IMAGES = [
    (speaker(SPEAKER), sound_waves(2)),              # 0 sound on
    (speaker(SPEAKER), red_cross(10, 5, 15, 11)),    # 1 sound off
    (cloud(GREY), rain_drops),                       # 2 start the rain
    (cloud(GREY), rain_drops, stop_bar),             # 3 stop the rain
    (sun(12.5, 3.5, 2.3), fir(DAY_GREEN, dx=-1.0)),  # 4 day forest
    (night_sky, moon(11.5, 4.5, 2.8), fir(NIGHT_TREE, DARK_GREY, dx=-1.0)),  # 5 night forest
    (key_cap,),                                      # 6 hot keys
    (info_sign,),                                    # 7 about
    (update_globe,),                                 # 8 live update
    (sliders,),                                      # 9 control board
    (power_sign,),                                   # 10 exit
]

# The alarm window's clock: it rings, its hammer swinging between the bells.
ALARM_FRAME_SIZE = 64
ALARM_FRAME_MICROSECONDS = 90000
ALARM_SWINGS = (-1.0, 0.0, 1.0, 0.0)
BRASS = (200, 150, 40)
CLOCK_FACE = (250, 248, 236)


def alarm_clock_frame(swing):
    shake = 0.25 * swing

    def paint(c):
        for side in (-1, 1):
            c.fill(segment(8 + shake + side * 3.5, 12.0, 8 + shake + side * 5.5, 15.2, 1.0), DARK_GREY)
            c.fill(circle(8 + shake + side * 4.6, 3.4, 2.2), BRASS)
        c.fill(segment(8 + shake, 4.0, 8 + shake + swing * 2.2, 1.4, 0.8), DARK_GREY)
        c.fill(circle(8 + shake, 8.6, 5.8), RED)
        c.fill(circle(8 + shake, 8.6, 4.6), CLOCK_FACE)
        for k in range(12):
            a = math.radians(k * 30)
            c.fill(circle(8 + shake + math.sin(a) * 3.9, 8.6 - math.cos(a) * 3.9, 0.3), DARK_GREY)
        c.fill(segment(8 + shake, 8.6, 8 + shake + 1.3, 10.6, 0.7), DARK_GREY)  # half past six
        c.fill(segment(8 + shake, 8.6, 8 + shake, 12.2, 0.5), DARK_GREY)
        c.fill(circle(8 + shake, 8.6, 0.5), DARK_GREY)
    return draw(ALARM_FRAME_SIZE, paint)


SPEAKER_FRAMES = 8
SPEAKER_FRAME_SIZE = 32
SPEAKER_FRAME_MICROSECONDS = 180000


def speaker_frame(index):
    waves = (0, 1, 2, 3, 3, 2, 1, 0)[index]
    return draw(SPEAKER_FRAME_SIZE, speaker(SPEAKER), sound_waves(waves))


# --- file writers ----------------------------------------------------------

def info_header(width, height, bits, image_bytes, pixels_per_metre=0, colours_used=0):
    """An uncompressed BITMAPINFOHEADER."""
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_bytes,
                       pixels_per_metre, pixels_per_metre, colours_used, 0)


def ico_bytes(canvases, hotspot=None):
    """An .ico file, or with a hotspot (x, y) a .cur file: 32-bit BGRA images with their AND masks."""
    images = []
    for c in canvases:
        n = c.size
        mask_stride = ((n + 31) // 32) * 4
        xor = bytearray()
        mask = bytearray()
        for y in reversed(range(n)):
            row_mask = bytearray(mask_stride)
            for x in range(n):
                r, g, b, a = c.rgba(x, y)
                xor += bytes((b, g, r, a))
                if a == 0:
                    row_mask[x // 8] |= 0x80 >> (x % 8)
            mask += row_mask
        header = info_header(n, 2 * n, 32, len(xor) + len(mask))  # the height counts the mask too
        images.append((n, header + xor + mask))
    out = bytearray(struct.pack("<HHH", 0, 1 if hotspot is None else 2, len(images)))
    offset = 6 + 16 * len(images)
    # An icon entry names its planes and bit count where a cursor's names its hotspot.
    planes, bits = (1, 32) if hotspot is None else hotspot
    for n, data in images:
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, planes, bits, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def bmp_bytes(canvases):
    """A 24-bit bitmap of the canvases side by side, background in KEY_COLOUR."""
    height = canvases[0].size
    width = sum(c.size for c in canvases)
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for c in canvases:
            for x in range(c.size):
                r, g, b = c.rgb_on_key(x, y)
                row += bytes((b, g, r))
        pixels += row + bytes(stride - len(row))
    info = info_header(width, height, 24, len(pixels), pixels_per_metre=2835)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return file_header + info + bytes(pixels)


def palette_index(rgb):
    """Index 0 is the background; 16 + a 6 x 6 x 6 colour cube after it."""
    if rgb == KEY_COLOUR:
        return 0
    r, g, b = (round(v / 51) for v in rgb)
    return 16 + r * 36 + g * 6 + b


def avi_palette():
    entries = [KEY_COLOUR] + [(0, 0, 0)] * 15
    entries += [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    entries += [(0, 0, 0)] * (256 - len(entries))
    return b"".join(bytes((b, g, r, 0)) for r, g, b in entries)


def chunk(fourcc, data):
    pad = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, list_type, *chunks):
    return chunk(kind, list_type + b"".join(chunks))


def avi_bytes(frames, microseconds_per_frame):
    """An uncompressed 8-bit AVI with one video stream, as an animation control plays it."""
    size = frames[0].size
    stride = (size + 3) & ~3
    frame_data = []
    for c in frames:
        data = bytearray()
        for y in reversed(range(size)):
            row = bytes(palette_index(c.rgb_on_key(x, y)) for x in range(size))
            data += row + bytes(stride - size)
        frame_data.append(bytes(data))
    frame_bytes = len(frame_data[0])
    rate = round(1_000_000 / microseconds_per_frame)
    avih = struct.pack("<14I", microseconds_per_frame, frame_bytes * rate, 0, 0x10, len(frames), 0, 1,
                       frame_bytes, size, size, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"DIB ", 0, 0, 0, 0, 1, rate, 0, len(frames),
                       frame_bytes, 0xFFFFFFFF, 0, 0, 0, size, size)
    strf = info_header(size, size, 8, frame_bytes, colours_used=256) + avi_palette()
    header = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih),
                       riff_list(b"LIST", b"strl", chunk(b"strh", strh), chunk(b"strf", strf)))
    movi_chunks = [chunk(b"00db", d) for d in frame_data]
    index = bytearray()
    offset = 4  # from the 'movi' type word to each chunk's header
    for c in movi_chunks:
        index += struct.pack("<4sIII", b"00db", 0x10, offset, frame_bytes)
        offset += len(c)
    movi = riff_list(b"LIST", b"movi", *movi_chunks)
    return riff_list(b"RIFF", b"AVI ", header, movi, chunk(b"idx1", bytes(index)))


# --- output ----------------------------------------------------------------

def pictures():
    files = {}
    for name, (night, silent, armed) in TRAY_ICONS.items():
        files[name + ".ico"] = ico_bytes([draw(n, *tray_icon(night, silent, armed)) for n in (16, 32)])
    files["ovel.ico"] = ico_bytes([draw(n, sun(12.5, 3.5, 2.3), fir(DAY_GREEN, dx=-1.0)) for n in (16, 32, 48)])
    files["dayon.ico"] = ico_bytes([draw(16, sun(8, 8, 3.6))])
    files["nighton.ico"] = ico_bytes([draw(16, moon(7, 8, 6))])
    files["minimize.ico"] = ico_bytes([draw(16, minimize_sign)])
    files["spkoff.ico"] = ico_bytes([draw(32, speaker(GREY), red_cross(10, 5, 15, 11))])
    files["vsplit.cur"] = ico_bytes([draw(32, vertical_split)], hotspot=(16, 16))
    files["popup.bmp"] = bmp_bytes([draw(16, *parts) for parts in POPUP_IMAGES])
    files["chimefile.bmp"] = bmp_bytes([draw(48, note_folder)])
    files["speaker.avi"] = avi_bytes([speaker_frame(i) for i in range(SPEAKER_FRAMES)], SPEAKER_FRAME_MICROSECONDS)
    files["alarmclock.avi"] = avi_bytes([alarm_clock_frame(s) for s in ALARM_SWINGS], ALARM_FRAME_MICROSECONDS)
    return files


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: board_pictures.py OUTPUT_FOLDER\n")
        return 2
    out = Path(argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name, data in pictures().items():
        (out / name).write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
