#!/usr/bin/env python3
"""Generate Vantapicker's binary pictures from the ASCII drawings in this script.

Writes into resources/pictures/ (or the directory given on the command line):

    Program.ico      program icon, 32x32 and 16x16, 16 colours
    Active.ico       tray icon while picking is on: globe with green land
    Inactive.ico     tray icon while picking is off: globe with grey land
    HandPointer.cur  32x32 monochrome hand cursor, hot spot on the fingertip
    HiddenSite.bmp   16x16 tree-view image: empty check box
    VisibleSite.bmp  16x16 tree-view image: ticked check box
    Category.bmp     16x16 tree-view image: folder outline

The pictures are kept here as ASCII art, one character per pixel, rather
than as binary files edited in a paint program: a drawing can be read and
changed in any editor, a change shows up as a readable diff, and the build
needs no image tools. The .ico/.cur/.bmp files this script writes are
committed next to the resource script, so only someone changing a picture
has to run it:

    python3 tools/make_pictures.py [OUTPUT_DIR] [--preview PREVIEW_DIR]
                                   [--guide [GUIDE_DIR]]

--preview also writes enlarged PNG copies (transparent pixels shown as a
checkerboard, the cursor hot spot framed in red) for looking at the result.

--guide also writes the user guide's pictures of the popup in dark mode and
in high contrast (into docs/images/ unless a directory is given):

    popup-dark.png           the popup's inside in the dark palette
    popup-high-contrast.png  the same in Windows' High Contrast Black colours

They are recoloured from the guide's picture of the popup in its light look,
docs/images/popup.png (a screenshot of the demo), with the colours that the
program paints in each theme; the dark palette's are read from
base/PopupPalette.h. The output is byte-for-byte the same on every run.
"""

import argparse
import pathlib
import re
import struct
import zlib

# --------------------------------------------------------------------------
# Palettes
# --------------------------------------------------------------------------

# The standard 16-colour Windows (VGA) palette, in its usual order. Every
# 4-bit picture carries this palette, so the indices mean the same thing in
# all of them.
VGA16 = [
    ("black", (0, 0, 0)),
    ("dark red", (128, 0, 0)),
    ("dark green", (0, 128, 0)),
    ("olive", (128, 128, 0)),
    ("navy", (0, 0, 128)),
    ("purple", (128, 0, 128)),
    ("teal", (0, 128, 128)),
    ("silver", (192, 192, 192)),
    ("grey", (128, 128, 128)),
    ("red", (255, 0, 0)),
    ("green", (0, 255, 0)),
    ("yellow", (255, 255, 0)),
    ("blue", (0, 0, 255)),
    ("magenta", (255, 0, 255)),
    ("cyan", (0, 255, 255)),
    ("white", (255, 255, 255)),
]

# Monochrome cursors: index 0 is black, index 1 is white.
MONO = [
    ("black", (0, 0, 0)),
    ("white", (255, 255, 255)),
]

# --------------------------------------------------------------------------
# Drawings
#
# Each drawing is a block of equally long rows, top row first. A legend maps
# each character to a colour name from the palette, or to None for a
# transparent pixel (icons and cursors only; bitmaps have no transparency).
# --------------------------------------------------------------------------

# Globe with a mouse pointer in front of it. L marks land, so the same
# drawing serves the active (green land) and inactive (grey land) icons.
GLOBE_32 = """
................................
.............NNNN...............
..........NNNBBBBNNN............
........NNBLLLBBBBBBNN..........
......NNBLLLLLLLBLLBBBNN........
.....NBLLLLLLLLLLLLLBBBBN.......
....NBLLLLLLLLLLLLLBBBBBBN......
....NBBLLLLLLLLLLLBBBLLLBN......
...NBBBBLLLLLLLLLBBBLLLLLBN.....
...NBBBBBLLLLLLLBBBBLLLLLBN.....
..NBBBBBBBLLLLLBBBBLLLLLLLLN....
..NBBBBBBBBLLLBBBBBLLLLLLLLN....
..NBBBBBBBBLLBBBBBBBLLLLLLLN....
.NBBBBBBBBBBLLBBBBBBLLLLLLLLN...
.NBBBBBBBBBBBLLLBBBBBLLLLLLLN...
.NBBBBBBBBBBLLLLKBBBBBLLLLLLN...
.NBBBBBBBBBLLLLLKKBBBBBLLLLLN...
..NBBBBBBBBLLLLLKWKBBBBLLLLN....
..NBBBBBBBBBLLLLKWWKBBBLLLLN....
..NBBBBBBBBBBLLLKWWWKBBBLLBN....
...NBBBBBBBBBLLLKWWWWKBBBBN.....
...NBBBBBBBBBLLLKWWWWWKBBBN.....
....NBBBBBBBBBLLKWWWWWWKBN......
....NBBBBBBBBBLBKWWWWWWWKN......
.....NBBBBBBBBBBKWWWWWKKKK......
......NNBBBBBBBBKWWKWWKN........
........NNBBBBBBKWKBKWWK........
..........NNNBBBKKNNKWWK........
.............NNNK....KWWK.......
.....................KWWK.......
......................KK........
................................
"""

# The same picture reduced for 16x16 (title bar, Alt+Tab small icons).
GLOBE_16 = """
.....NNNN.......
...NNBBBBNN.....
..NLLLBBBBBN....
.NLLLLLBLLLBN...
.NLLLLBBLLLLN...
NBBLLBBBLLLLLN..
NBBBLBBBBLLLBN..
NBBBLLBKBBLLBN..
NBBBLLLKKBLBBN..
.NBBLLBKWKBBN...
.NBBBLBKWWKBN...
..NBBBBKWWWKN...
...NNBBKWWWWK...
.....NNKWWKKK...
.......KWK......
.......KK.......
"""

GLOBE_LEGEND = {
    ".": None,
    "N": "navy",    # rim of the globe
    "B": "blue",    # sea
    "K": "black",   # pointer outline
    "W": "white",   # pointer
}
ACTIVE_LEGEND = {**GLOBE_LEGEND, "L": "green"}
INACTIVE_LEGEND = {**GLOBE_LEGEND, "L": "silver"}

# Hand with the index finger pointing up, used over clickable links. The
# hot spot is the top of the index finger.
HAND_32 = """
................................
................................
................................
................................
................................
................................
...........KKK..................
..........KWWWK.................
..........KWWWK.................
..........KWWWK.................
..........KWWWK.................
..........KWWWKKKK..............
..........KWWWKWWWKKKK..........
..........KWWWKWWWKWWWK.........
..........KWWWKWWWKWWWKKK.......
..........KWWWKWWWKWWWKWWK......
..........KWWWKWWWKWWWKWWK......
....KKK...KWWWWWWWWWWWWWWK......
...KWWWK..KWWWWWWWWWWWWWWK......
...KWWWWK.KWWWWWWWWWWWWWWK......
....KWWWWKKWWWWWWWWWWWWWWK......
.....KWWWWWWWWWWWWWWWWWWWK......
......KWWWWWWWWWWWWWWWWWWK......
.......KWWWWWWWWWWWWWWWWK.......
........KWWWWWWWWWWWWWWWK.......
.........KWWWWWWWWWWWWWK........
.........KWWWWWWWWWWWWWK........
.........KKKKKKKKKKKKKKK........
................................
................................
................................
................................
"""
HAND_HOT_SPOT = (12, 6)

HAND_LEGEND = {
    ".": None,
    "K": "black",
    "W": "white",
}

# Tree-view images for the site list. White is the background colour the
# program makes transparent.
HIDDEN_SITE_16 = """
................
.NNNNNNNNNNNNN..
.N...........N..
.N...........N..
.N...........N..
.N...........N..
.N...........N..
.N...........N..
.N...........N..
.N...........N..
.N...........N..
.N...........N..
.N...........N..
.NNNNNNNNNNNNN..
................
................
"""

VISIBLE_SITE_16 = """
................
.NNNNNNNNNNNNN..
.N...........N..
.N...........N..
.N.........N.N..
.N........NN.N..
.N.......NNN.N..
.N..N...NNN..N..
.N..NN.NNN...N..
.N..NNNNN....N..
.N...NNN.....N..
.N....N......N..
.N...........N..
.NNNNNNNNNNNNN..
................
................
"""

CATEGORY_16 = """
................
................
.NNNNN..........
.N...N..........
.N...NNNNNNNNN..
.N...........N..
.N...........N..
.N...........N..
.N...........N..
.N...........N..
.N...........N..
.N...........N..
.NNNNNNNNNNNNN..
................
................
................
"""

BITMAP_LEGEND = {
    ".": "white",
    "N": "navy",
}

# --------------------------------------------------------------------------
# Turning drawings into pixels
# --------------------------------------------------------------------------


def parse(drawing, legend, palette, size):
    """Return rows of palette indices (None = transparent), top row first."""
    names = [name for name, _ in palette]
    rows = drawing.strip("\n").split("\n")
    if len(rows) != size:
        raise ValueError(f"drawing has {len(rows)} rows, expected {size}")
    pixels = []
    for y, row in enumerate(rows):
        if len(row) != size:
            raise ValueError(f"row {y} is {len(row)} wide, expected {size}")
        line = []
        for x, char in enumerate(row):
            if char not in legend:
                raise ValueError(f"unknown character {char!r} at ({x}, {y})")
            colour = legend[char]
            line.append(None if colour is None else names.index(colour))
        pixels.append(line)
    return pixels


# --------------------------------------------------------------------------
# Windows bitmap pieces (shared by .ico, .cur and .bmp)
# --------------------------------------------------------------------------


def pack_rows(rows, bits_per_pixel):
    """Pack rows of small integers bottom-up, each row padded to 4 bytes."""
    out = bytearray()
    per_byte = 8 // bits_per_pixel
    for row in reversed(rows):
        line = bytearray()
        for start in range(0, len(row), per_byte):
            byte = 0
            for value in row[start:start + per_byte]:
                byte = (byte << bits_per_pixel) | value
            byte <<= bits_per_pixel * (per_byte - len(row[start:start + per_byte]))
            line.append(byte)
        line.extend(b"\0" * (-len(line) % 4))
        out += line
    return bytes(out)


def info_header(width, height, bits_per_pixel, image_size):
    """BITMAPINFOHEADER (40 bytes)."""
    return struct.pack(
        "<IiiHHIIiiII",
        40,              # biSize
        width,
        height,
        1,               # biPlanes
        bits_per_pixel,
        0,               # biCompression = BI_RGB
        image_size,
        0, 0,            # resolution: not used
        0, 0,            # biClrUsed = all, biClrImportant = all
    )


def colour_table(palette):
    """RGBQUAD array: blue, green, red, reserved."""
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in palette)


def icon_image(pixels, palette, bits_per_pixel):
    """One image of an .ico or .cur: header, colours, XOR bitmap, AND mask.

    Transparent pixels get AND 1 and colour index 0 (black), so the screen
    shows through unchanged; every other pixel gets AND 0.
    """
    size = len(pixels)
    colours = [[0 if p is None else p for p in row] for row in pixels]
    mask = [[1 if p is None else 0 for p in row] for row in pixels]
    xor = pack_rows(colours, bits_per_pixel)
    and_ = pack_rows(mask, 1)
    header = info_header(size, 2 * size, bits_per_pixel, len(xor) + len(and_))
    return header + colour_table(palette) + xor + and_


def icon_file(images):
    """.ico file holding 4-bit images; images are pixel grids, largest first."""
    entries = []
    data = []
    offset = 6 + 16 * len(images)
    for pixels in images:
        image = icon_image(pixels, VGA16, 4)
        size = len(pixels)
        entries.append(struct.pack(
            "<BBBBHHII",
            size % 256, size % 256,   # 256 would be stored as 0
            16,                       # colours
            0,                        # reserved
            1,                        # planes
            4,                        # bits per pixel
            len(image),
            offset,
        ))
        data.append(image)
        offset += len(image)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(data)


def cursor_file(pixels, hot_spot):
    """.cur file holding one monochrome image.

    A cursor directory entry has the same layout as an icon's, but the two
    fields an icon uses for planes and bit count hold the hot spot instead.
    """
    image = icon_image(pixels, MONO, 1)
    size = len(pixels)
    hot_x, hot_y = hot_spot
    entry = struct.pack(
        "<BBBBHHII",
        size, size,
        2,          # colours
        0,          # reserved
        hot_x,
        hot_y,
        len(image),
        6 + 16,
    )
    return struct.pack("<HHH", 0, 2, 1) + entry + image


def bitmap_file(pixels):
    """.bmp file: BITMAPFILEHEADER + BITMAPINFOHEADER, 4-bit, bottom-up."""
    size = len(pixels)
    bits = pack_rows(pixels, 4)
    info = info_header(size, size, 4, len(bits)) + colour_table(VGA16)
    offset = 14 + len(info)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return file_header + info + bits


# --------------------------------------------------------------------------
# PNG previews
# --------------------------------------------------------------------------

PREVIEW_SCALE = 12


PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def rgb_png(rows):
    """8-bit RGB PNG of rows of (r, g, b) tuples."""
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type: none
        for rgb in row:
            raw += bytes(rgb)

    def chunk(kind, body):
        crc = zlib.crc32(kind + body) & 0xFFFFFFFF
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", crc)

    ihdr = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)
    return (PNG_SIGNATURE + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def png_file(pixels, palette, hot_spot=None):
    """Enlarged RGB PNG of a pixel grid, for looking at a drawing."""
    scale = PREVIEW_SCALE
    size = len(pixels)
    rows = []
    for y in range(size * scale):
        row = []
        for x in range(size * scale):
            px, py = x // scale, y // scale
            index = pixels[py][px]
            if index is None:
                light = ((x // (scale // 2)) + (y // (scale // 2))) % 2
                rgb = (230, 230, 230) if light else (200, 200, 200)
            else:
                rgb = palette[index][1]
            if hot_spot == (px, py):
                edge = min(x % scale, y % scale, scale - 1 - x % scale,
                           scale - 1 - y % scale)
                if edge < 2:
                    rgb = (255, 0, 0)
            row.append(rgb)
        rows.append(row)
    return rgb_png(rows)


def read_png(data):
    """Rows of (r, g, b) tuples of an 8-bit PNG (grey, RGB, palette or RGBA)."""
    if data[:8] != PNG_SIGNATURE:
        raise ValueError("not a PNG file")
    pos, idat, palette = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
    channels = {0: 1, 2: 3, 3: 1, 6: 4}.get(colour_type)
    if depth != 8 or channels is None or interlace:
        raise ValueError("only 8-bit, non-interlaced PNG files are read")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            up_left = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                guess = left + up - up_left
                nearest = min((abs(guess - left), 0, left), (abs(guess - up), 1, up),
                              (abs(guess - up_left), 2, up_left))[2]
                line[i] = (line[i] + nearest) & 0xFF
        previous = line
        if colour_type == 3:
            rows.append([palette[v] for v in line])
        elif colour_type == 0:
            rows.append([(v, v, v) for v in line])
        else:
            rows.append([tuple(line[i:i + 3]) for i in range(0, stride, channels)])
    return rows


# --------------------------------------------------------------------------
# The guide's pictures of the popup in dark mode and in high contrast
#
# In the light picture each pixel of the popup's inside is a mix of two known
# colours (the letters are smoothed): a link's text and the background, the
# search box's field and the system's grey lines, or the selection and its
# text. The mix is found again and made of the other theme's pair.
# --------------------------------------------------------------------------

LIGHT_BACKGROUND = (255, 250, 240)
LIGHT_LINK = (0, 20, 140)
FIELD = (255, 255, 255)       # the search box's field: the system's window colour
FRAME = (174, 174, 174)       # the combo box's frame and button, as the demo's system draws them
SELECTION_TEXT = (255, 255, 255)

# Windows' High Contrast Black: the system's colours, which the popup alone uses there.
HIGH_CONTRAST_BLACK = {
    "window": (0, 0, 0),
    "window text": (255, 255, 255),
    "hot light": (255, 255, 0),
    "highlight": (26, 235, 255),
    "highlight text": (0, 0, 0),
}


def dark_palette(header):
    """The dark palette's colours from base/PopupPalette.h, by name."""
    found = dict(re.findall(r"constexpr Rgb kDark(\w+)\{(\d+, \d+, \d+)\}", header))
    names = ["Background", "LinkText", "SearchBackground"]
    if any(name not in found for name in names):
        raise ValueError("base/PopupPalette.h lacks a colour of the dark palette")
    return {name: tuple(int(v) for v in found[name].split(", ")) for name in names}


def mixed(pixel, ink, paper, new_ink, new_paper):
    """The pixel's share of ink over paper, mixed again of the new pair."""
    axis = [i - p for i, p in zip(ink, paper)]
    length = sum(a * a for a in axis)
    share = sum((c - p) * a for c, p, a in zip(pixel, paper, axis)) / length if length else 0
    share = min(1.0, max(0.0, share))
    return tuple(round(p + share * (i - p)) for i, p in zip(new_ink, new_paper))


def bounds(rows, colour, area):
    """(left, top, right, bottom), right and bottom exclusive, of a colour's pixels in an area."""
    left, top, right, bottom = area
    points = [(x, y) for y in range(top, bottom) for x in range(left, right)
              if rows[y][x] == colour]
    if not points:
        raise ValueError(f"no pixel of {colour} in the picture")
    xs, ys = [x for x, _ in points], [y for _, y in points]
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def inside(point, box):
    return box[0] <= point[0] < box[2] and box[1] <= point[1] < box[3]


def popup_pictures(light_png, header):
    """The popup's inside in the dark palette and in High Contrast Black, as PNG files."""
    rows = read_png(light_png)
    client = bounds(rows, LIGHT_BACKGROUND, (0, 0, len(rows[0]), len(rows)))
    combo = bounds(rows, FRAME, client)
    field_area = (combo[0] + 1, combo[1] + 1, combo[2] - 1, combo[3] - 1)
    button = bounds(rows, FRAME, field_area)
    selection = next(rows[y][x] for y in range(field_area[1], field_area[3])
                     for x in range(field_area[0], button[0]) if rows[y][x] != FIELD)
    band = bounds(rows, selection, field_area)
    # The edit field proper; the combo box keeps a margin of two pixels around it.
    edit = (field_area[0] + 2, field_area[1] + 2, button[0] - 1, field_area[3] - 2)
    dark = dark_palette(header)
    hc = HIGH_CONTRAST_BLACK

    def recolour(point, pixel):
        """The pixel in the dark palette and in high contrast."""
        if not inside(point, combo):
            return (mixed(pixel, LIGHT_LINK, LIGHT_BACKGROUND, dark["LinkText"], dark["Background"]),
                    mixed(pixel, LIGHT_LINK, LIGHT_BACKGROUND, hc["hot light"], hc["window"]))
        if inside(point, band):
            # The selection stays the system's in dark mode.
            return pixel, mixed(pixel, SELECTION_TEXT, selection, hc["highlight text"],
                                hc["highlight"])
        if inside(point, edit):
            return dark["SearchBackground"], hc["window"]
        # The rest of the combo box, which the system draws: left alone in dark mode; in
        # high contrast its lines in the text colour, the rest in the window's.
        line = sum(pixel) / 3 < 230
        return pixel, hc["window text"] if line else hc["window"]

    pictures = ([], [])
    for y in range(client[1], client[3]):
        for picture in pictures:
            picture.append([])
        for x in range(client[0], client[2]):
            for picture, pixel in zip(pictures, recolour((x, y), rows[y][x])):
                picture[-1].append(pixel)
    return rgb_png(pictures[0]), rgb_png(pictures[1])


# --------------------------------------------------------------------------
# Main
# --------------------------------------------------------------------------


def main():
    repo = pathlib.Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("output", nargs="?", type=pathlib.Path,
                        default=repo / "resources" / "pictures",
                        help="where to write the pictures "
                             "(default: resources/pictures)")
    parser.add_argument("--preview", type=pathlib.Path, metavar="DIR",
                        help="also write enlarged PNG previews into DIR")
    parser.add_argument("--guide", type=pathlib.Path, metavar="DIR", nargs="?",
                        const=repo / "docs" / "images",
                        help="also write the guide's pictures of the popup in dark mode "
                             "and high contrast (default: docs/images)")
    args = parser.parse_args()

    active_32 = parse(GLOBE_32, ACTIVE_LEGEND, VGA16, 32)
    active_16 = parse(GLOBE_16, ACTIVE_LEGEND, VGA16, 16)
    inactive_32 = parse(GLOBE_32, INACTIVE_LEGEND, VGA16, 32)
    hand = parse(HAND_32, HAND_LEGEND, MONO, 32)
    hidden = parse(HIDDEN_SITE_16, BITMAP_LEGEND, VGA16, 16)
    visible = parse(VISIBLE_SITE_16, BITMAP_LEGEND, VGA16, 16)
    category = parse(CATEGORY_16, BITMAP_LEGEND, VGA16, 16)

    if hand[HAND_HOT_SPOT[1]][HAND_HOT_SPOT[0]] is None:
        raise ValueError("the cursor hot spot lies on a transparent pixel")

    outputs = {
        "Program.ico": icon_file([active_32, active_16]),
        "Active.ico": icon_file([active_32]),
        "Inactive.ico": icon_file([inactive_32]),
        "HandPointer.cur": cursor_file(hand, HAND_HOT_SPOT),
        "HiddenSite.bmp": bitmap_file(hidden),
        "VisibleSite.bmp": bitmap_file(visible),
        "Category.bmp": bitmap_file(category),
    }
    args.output.mkdir(parents=True, exist_ok=True)
    for name, data in outputs.items():
        (args.output / name).write_bytes(data)
        print(f"wrote {args.output / name} ({len(data)} bytes)")

    if args.preview:
        previews = {
            "Active-32.png": (active_32, VGA16, None),
            "Active-16.png": (active_16, VGA16, None),
            "Inactive-32.png": (inactive_32, VGA16, None),
            "HandPointer.png": (hand, MONO, HAND_HOT_SPOT),
            "HiddenSite.png": (hidden, VGA16, None),
            "VisibleSite.png": (visible, VGA16, None),
            "Category.png": (category, VGA16, None),
        }
        args.preview.mkdir(parents=True, exist_ok=True)
        for name, (pixels, palette, hot_spot) in previews.items():
            (args.preview / name).write_bytes(png_file(pixels, palette, hot_spot))
        print(f"wrote previews to {args.preview}")

    if args.guide:
        dark, high_contrast = popup_pictures(
            (repo / "docs" / "images" / "popup.png").read_bytes(),
            (repo / "base" / "PopupPalette.h").read_text())
        args.guide.mkdir(parents=True, exist_ok=True)
        for name, data in (("popup-dark.png", dark), ("popup-high-contrast.png", high_contrast)):
            (args.guide / name).write_bytes(data)
            print(f"wrote {args.guide / name} ({len(data)} bytes)")


if __name__ == "__main__":
    main()
