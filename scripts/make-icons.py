#!/usr/bin/env python3
"""Draws the four edition icons as 32x32 XPM images into res/icons/.

Each icon is a rounded tile in the edition's colour with a dark rim, the
edition's letter (A to D) large in white and a yen sign in pale gold at the
lower right. Run it again after changing a colour or a glyph; the output is
deterministic.
"""
import os
import sys

SIZE = 32

# 5x7 glyphs, '#' set.
GLYPHS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."],
    "YEN": ["#...#", ".#.#.", "..#..", "#####", "..#..", "#####", "..#.."],
}

# edition -> (letter, tile colour, rim colour)
EDITIONS = {
    "Zelkora": ("A", "#2F6FD0", "#17386A"),
    "Zelkorb": ("B", "#2E9E4F", "#175028"),
    "Zelkorc": ("C", "#E07A1F", "#703D10"),
    "Zelkord": ("D", "#8A3FC2", "#451F61"),
}

WHITE = "#FFFFFF"
GOLD = "#FFE27A"


def stamp(canvas, glyph, x0, y0, scale, ch):
    for gy, row in enumerate(GLYPHS[glyph]):
        for gx, bit in enumerate(row):
            if bit != "#":
                continue
            for dy in range(scale):
                for dx in range(scale):
                    canvas[y0 + gy * scale + dy][x0 + gx * scale + dx] = ch


def rounded_out(x, y, radius=4):
    """True for a pixel outside the tile's rounded corners."""
    cx = radius if x < radius else (SIZE - 1 - radius if x > SIZE - 1 - radius else x)
    cy = radius if y < radius else (SIZE - 1 - radius if y > SIZE - 1 - radius else y)
    return (x - cx) ** 2 + (y - cy) ** 2 > radius * radius + radius // 2


def draw(letter):
    canvas = [["+"] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if rounded_out(x, y):
                canvas[y][x] = " "
            elif (rounded_out(x - 1, y) or rounded_out(x + 1, y) or rounded_out(x, y - 1)
                  or rounded_out(x, y + 1) or x in (0, SIZE - 1) or y in (0, SIZE - 1)):
                canvas[y][x] = "."
    stamp(canvas, letter, 4, 4, 3, "@")    # 15x21 at (4,4)
    stamp(canvas, "YEN", 20, 15, 2, "#")   # 10x14 at (20,15)
    return canvas


def xpm(name, letter, tile, rim):
    canvas = draw(letter)
    lines = [
        "/* XPM */",
        "/* Icon of the %s deliverable: tile with the letter %s and a yen sign." % (name, letter),
        "   Drawn by scripts/make-icons.py; edit the script, not this file. */",
        "static const char* const %s_xpm[] = {" % name,
        '"%d %d 5 1",' % (SIZE, SIZE),
        '"  c None",',
        '". c %s",' % rim,
        '"+ c %s",' % tile,
        '"@ c %s",' % WHITE,
        '"# c %s",' % GOLD,
    ]
    rows = ['"%s"' % "".join(r) for r in canvas]
    lines += [r + "," for r in rows[:-1]] + [rows[-1]]
    lines.append("};")
    return "\n".join(lines) + "\n"


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "res", "icons")
    os.makedirs(out, exist_ok=True)
    for name, (letter, tile, rim) in EDITIONS.items():
        with open(os.path.join(out, name + ".xpm"), "w", encoding="ascii", newline="\n") as f:
            f.write(xpm(name, letter, tile, rim))


if __name__ == "__main__":
    main()
