#!/usr/bin/python3
"""design-fonts.py <carried font> <output folder>

Derives from the carried bitmap MS Sans Serif the faces the windows draw that it lacks:

- ms_sans_serif_bold.ttf: its strikes in bold as Windows synthesises bold for a bitmap font,
  each glyph overstruck one pixel to the right and one pixel wider (TEXTMETRIC.tmOverhang 1);
- ms_sans_serif_scaled.ttf and ms_sans_serif_scaled_bold.ttf: the 13-pixel strike, regular and
  bold, as outlines with one square per pixel, so that a display scale enlarges the letters
  themselves: at 200 % pixel for pixel, at 125 and 150 % in the same proportions and advances.
"""

import os
import sys
from collections import namedtuple

from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont

DESIGN_STRIKE = 13
# Units per pixel of the outlines: the em is the 13-pixel strike's height.
UNITS = 100

# One glyph of a strike: its pixels as rows of 0/1 values, their width, the bearings and the
# advance in pixels, and the index subtable that holds its metrics when they are shared.
StrikeGlyph = namedtuple("StrikeGlyph", "rows width x y advance table")
NO_GLYPH = StrikeGlyph([], 0, 0, 0, 0, None)


def bit_rows(data, width, height):
    """A bit-aligned bitmap (EBDT formats 2 and 5) as rows of 0/1 values."""
    bits = "".join(format(byte, "08b") for byte in data)
    return [[int(b) for b in bits[y * width:(y + 1) * width]] for y in range(height)]


def bit_data(rows, width):
    bits = "".join(str(v) for row in rows for v in row)
    bits += "0" * (-len(bits) % 8)
    return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))


def emboldened(rows):
    """Each pixel drawn again one pixel to its right: one pixel wider."""
    return [[a | b for a, b in zip(row + [0], [0] + row)] for row in rows]


def strike_glyphs(font, index):
    """Glyph name -> StrikeGlyph."""
    strike = font["EBLC"].strikes[index]
    data = font["EBDT"].strikeData[index]
    glyphs = {}
    for table in strike.indexSubTables:
        for name in table.names:
            glyph = data[name]
            shared = getattr(table, "metrics", None)
            if shared is not None:
                m = shared
                width, height, x, y, advance = (m.width, m.height, m.horiBearingX,
                                                m.horiBearingY, m.horiAdvance)
            else:
                m = glyph.metrics
                width, height, x, y, advance = m.width, m.height, m.BearingX, m.BearingY, m.Advance
            glyphs[name] = StrikeGlyph(bit_rows(glyph.imageData, width, height), width, x, y,
                                       advance, table)
    return glyphs


def make_bold_bitmaps(font):
    for index, strike in enumerate(font["EBLC"].strikes):
        data = font["EBDT"].strikeData[index]
        glyphs = strike_glyphs(font, index)
        for name, glyph in glyphs.items():
            data[name].imageData = bit_data(emboldened(glyph.rows), glyph.width + 1)
            if getattr(glyph.table, "metrics", None) is None:
                data[name].metrics.width += 1
                data[name].metrics.Advance += 1
        for table in strike.indexSubTables:
            if getattr(table, "metrics", None) is not None:
                table.metrics.width += 1
                table.metrics.horiAdvance += 1
                table.imageSize = (table.metrics.width * table.metrics.height + 7) // 8
        strike.bitmapSizeTable.hori.widthMax += 1


def outline(rows, x, y):
    """One square per run of pixels in a row, in font units (y up from the baseline)."""
    pen = TTGlyphPen(None)
    for row_index, row in enumerate(rows):
        top = (y - row_index) * UNITS
        column = 0
        while column < len(row):
            if not row[column]:
                column += 1
                continue
            start = column
            while column < len(row) and row[column]:
                column += 1
            left, right = (x + start) * UNITS, (x + column) * UNITS
            pen.moveTo((left, top - UNITS))
            pen.lineTo((left, top))
            pen.lineTo((right, top))
            pen.lineTo((right, top - UNITS))
            pen.closePath()
    return pen.glyph()


def make_scaled(font, bold):
    index = next(i for i, s in enumerate(font["EBLC"].strikes)
                 if s.bitmapSizeTable.ppemY == DESIGN_STRIKE)
    line = font["EBLC"].strikes[index].bitmapSizeTable.hori
    glyphs = strike_glyphs(font, index)
    glyf, hmtx = font["glyf"], font["hmtx"]
    for name in font.getGlyphOrder():
        glyph = glyphs.get(name, NO_GLYPH)
        rows, advance = glyph.rows, glyph.advance
        if bold and rows:
            rows, advance = emboldened(rows), advance + 1
        glyf[name] = outline(rows, glyph.x, glyph.y)
        glyf[name].recalcBounds(glyf)
        hmtx[name] = (advance * UNITS, getattr(glyf[name], "xMin", 0))
    for tag in ("EBDT", "EBLC", "EBSC", "FFTM"):
        del font[tag]
    font["head"].unitsPerEm = DESIGN_STRIKE * UNITS
    ascent, descent = line.ascender * UNITS, line.descender * UNITS
    font["hhea"].ascent, font["hhea"].descent, font["hhea"].lineGap = ascent, descent, 0
    os2 = font["OS/2"]
    os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap = ascent, descent, 0
    os2.usWinAscent, os2.usWinDescent = ascent, -descent
    os2.recalcAvgCharWidth(font)


def set_bold(font):
    font["OS/2"].usWeightClass = 700
    # Bold (bit 5) instead of regular (bit 6).
    font["OS/2"].fsSelection = (font["OS/2"].fsSelection & ~0x40) | 0x20
    font["head"].macStyle |= 1
    for record in font["name"].names:
        if record.nameID == 2:
            record.string = "Bold"


def main():
    carried, folder = sys.argv[1], sys.argv[2]
    for name, scaled, bold in (("ms_sans_serif_bold.ttf", False, True),
                               ("ms_sans_serif_scaled.ttf", True, False),
                               ("ms_sans_serif_scaled_bold.ttf", True, True)):
        # Keep the carried font's own head.modified: a stamp of the build's time would make
        # each build of the same source a different program.
        font = TTFont(carried, recalcTimestamp=False)
        if scaled:
            make_scaled(font, bold)
        else:
            make_bold_bitmaps(font)
        if bold:
            set_bold(font)
        font.save(os.path.join(folder, name))


if __name__ == "__main__":
    main()
