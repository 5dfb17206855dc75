#!/usr/bin/python3
"""Regenerates the images and the font that KOVA.dll embeds (resources/KOVA.rc).

    /usr/bin/python3 tools/make-resources.py

Debian's interpreter is named on purpose: Pillow (python3-pil) and fontTools
(python3-fonttools) come from Debian packages (tools/install-packages.sh), not from
whatever python3 is first on the PATH. The output is deterministic: running the script
again on the same packages rewrites the committed files byte for byte.

Writes into resources/:
  scroll_h.png            resource 101, the horizontal scroll-bar strip
  scroll_v.png            resource 102, the vertical scroll-bar strip
  BRAVIK-1.2.ttf          resource 106, the library font, family "BRAVIK 1.2"
  BRAVIK-1.2.LICENSE.txt  the licence of the font it is made from
"""

import io
import pathlib
import re

from PIL import Image, ImageDraw
from fontTools import subset
from fontTools.ttLib import TTFont

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = ROOT / "resources"

SOURCE_FONT = pathlib.Path("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")
SOURCE_COPYRIGHT = pathlib.Path("/usr/share/doc/fonts-dejavu-core/copyright")
FAMILY = "BRAVIK 1.2"
POSTSCRIPT_NAME = "BRAVIK-1.2"

# Shapes are drawn this many times larger and scaled down, which anti-aliases the
# rounded ends without any colour bleeding in from the transparent background.
SUPERSAMPLE = 8

# The scroll bars stretch the middle of each thumb and keep this many pixels at each end
# as they are, so the rounded caps must fit inside them.
CAP = 6

TRACK = (40, 40, 46, 200)
DISABLED = (58, 58, 64, 255)
NORMAL = (112, 112, 124, 255)
HOVER = (160, 110, 230, 255)
PRESSED = (189, 48, 255, 255)


def shape(size, draw_mask):
    """A frame of one colour whose coverage draw_mask paints (at supersampled size)."""
    width, height = size
    mask = Image.new("L", (width * SUPERSAMPLE, height * SUPERSAMPLE), 0)
    draw_mask(ImageDraw.Draw(mask), SUPERSAMPLE)
    return mask.resize(size, Image.BOX)


def frame(size, colour, draw_mask):
    mask = shape(size, draw_mask)
    red, green, blue, alpha = colour
    tile = Image.new("RGBA", size, (red, green, blue, 0))
    tile.putalpha(mask.point(lambda value: value * alpha // 255))
    return tile


def vertical_thumb(column_width, height):
    thickness = column_width // 2
    assert thickness // 2 <= CAP

    def draw(draw, k):
        left = (column_width - thickness) // 2
        draw.rounded_rectangle(
            (left * k, 0, (left + thickness) * k - 1, height * k - 1),
            radius=thickness * k // 2, fill=255)
    return draw


def vertical_track(column_width, height):
    def draw(draw, k):
        left = column_width // 2 - 1
        draw.rectangle((left * k, 0, (left + 2) * k - 1, height * k - 1), fill=255)
    return draw


def horizontal_thumb(frame_width, frame_height):
    thickness = frame_height // 2
    assert thickness // 2 <= CAP

    def draw(draw, k):
        top = (frame_height - thickness) // 2
        draw.rounded_rectangle(
            (0, top * k, frame_width * k - 1, (top + thickness) * k - 1),
            radius=thickness * k // 2, fill=255)
    return draw


def vertical_strip():
    """Three columns side by side, read by the vertical bar at a third of the width each:
    the track, the thumb under the pointer, the thumb at rest (also while dragged)."""
    column, height = 12, 48
    strip = Image.new("RGBA", (3 * column, height), (0, 0, 0, 0))
    pieces = [
        (TRACK, vertical_track(column, height)),
        (HOVER, vertical_thumb(column, height)),
        (NORMAL, vertical_thumb(column, height)),
    ]
    for index, (colour, draw) in enumerate(pieces):
        strip.paste(frame((column, height), colour, draw), (index * column, 0))
    return strip


def horizontal_strip():
    """Four rows, read by the horizontal bar at a quarter of the height each; the thumb is
    taken from the left third of the width. Row 0 (no part of the bar draws it) is the
    disabled look, then the thumb at rest, under the pointer and while dragged."""
    thumb_width, row = 48, 12
    strip = Image.new("RGBA", (3 * thumb_width, 4 * row), (0, 0, 0, 0))
    for index, colour in enumerate([DISABLED, NORMAL, HOVER, PRESSED]):
        strip.paste(frame((thumb_width, row), colour, horizontal_thumb(thumb_width, row)),
                    (0, index * row))
    return strip


def save_png(image, name):
    buffer = io.BytesIO()
    image.save(buffer, "PNG", optimize=True)
    (OUT / name).write_bytes(buffer.getvalue())


# ---- font

# Printable ASCII and the few symbols the screens show (temperatures, separators, arrows).
CODEPOINTS = list(range(0x20, 0x7F)) + [
    0xA0, 0xA9, 0xAE, 0xB0, 0xB1, 0xB7, 0xD7,
    0x2013, 0x2014, 0x2022, 0x2026, 0x2103, 0x2109,
    0x2190, 0x2191, 0x2192, 0x2193, 0x25B2, 0x25BC,
]

# Name ids replaced by the new family; every other name record (copyright, licence,
# designer, version) is kept, as the licence requires.
NEW_NAMES = {
    1: FAMILY,
    2: "Regular",
    3: FAMILY + " Regular; KOVA",
    4: FAMILY,
    6: POSTSCRIPT_NAME,
    16: FAMILY,
    17: "Regular",
}


def subset_font():
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.name_legacy = True
    options.hinting = False
    options.drop_tables += ["FFTM", "MATH"]
    font = TTFont(str(SOURCE_FONT), recalcTimestamp=False)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=CODEPOINTS)
    subsetter.subset(font)
    return font


def rename_font(font):
    table = font["name"]
    for record in table.names:
        if record.nameID in NEW_NAMES:
            record.string = NEW_NAMES[record.nameID]
    # The licence forbids the source's reserved words in a modified font's names.
    for record in table.names:
        if record.nameID in NEW_NAMES:
            assert not re.search("Vera|Bitstream|DejaVu", record.toUnicode()), record


def write_font():
    font = subset_font()
    rename_font(font)
    buffer = io.BytesIO()
    font.save(buffer)
    (OUT / "BRAVIK-1.2.ttf").write_bytes(buffer.getvalue())


def licence_stanza():
    """The 'Files: *' stanza of the Debian copyright file: the font's own notice."""
    text = SOURCE_COPYRIGHT.read_text(encoding="utf-8")
    match = re.search(r"^Files: \*\n(.*?)(?=^Files: |\Z)", text, re.S | re.M)
    if not match:
        raise SystemExit(f"no 'Files: *' stanza in {SOURCE_COPYRIGHT}")
    return match.group(1).rstrip() + "\n"


def write_licence():
    header = (
        f"{FAMILY} (resources/BRAVIK-1.2.ttf) is DejaVu Sans 2.37 from the Debian package\n"
        "fonts-dejavu-core, reduced to printable ASCII and a few symbols and renamed by\n"
        "tools/make-resources.py, as the licence below allows for a renamed font.\n"
        "Its copyright and licence, as the package states them:\n\n"
    )
    (OUT / "BRAVIK-1.2.LICENSE.txt").write_text(header + licence_stanza(), encoding="utf-8")


def main():
    OUT.mkdir(exist_ok=True)
    save_png(horizontal_strip(), "scroll_h.png")
    save_png(vertical_strip(), "scroll_v.png")
    write_font()
    write_licence()


if __name__ == "__main__":
    main()
