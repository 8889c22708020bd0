# Draws the window's tab images and application icon into this folder.
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Tab images: words in a 7-row pixel font (rows 7-8 carry descenders), read bottom to top.
TAB_W, TAB_H = 16, 36
TAB_PALETTE = [(192, 192, 192), (0, 0, 0)]
GLYPHS = {
    'M': ['#...#', '##.##', '#.#.#', '#.#.#', '#...#', '#...#', '#...#'],
    'O': ['.###.', '#...#', '#...#', '#...#', '#...#', '#...#', '.###.'],
    'C': ['.###', '#...', '#...', '#...', '#...', '#...', '.###'],
    'a': ['....', '....', '.##.', '...#', '.###', '#..#', '.###'],
    'e': ['....', '....', '.##.', '#..#', '####', '#...', '.###'],
    'i': ['#', '.', '#', '#', '#', '#', '#'],
    'l': ['#.', '#.', '#.', '#.', '#.', '#.', '.#'],
    'n': ['....', '....', '###.', '#..#', '#..#', '#..#', '#..#'],
    'o': ['....', '....', '.##.', '#..#', '#..#', '#..#', '.##.'],
    'p': ['....', '....', '###.', '#..#', '#..#', '#..#', '###.', '#...', '#...'],
    's': ['....', '....', '.###', '#...', '.##.', '...#', '###.'],
    't': ['...', '.#.', '###', '.#.', '.#.', '.#.', '..#'],
}
TABS = {'main.bmp': 'Main', 'option.bmp': 'Option', 'console.bmp': 'Console'}


def ink_of(word):
    """Returns the inked (x, y) cells of the word set left to right, and its width."""
    cells, x = [], 0
    for ch in word:
        rows = GLYPHS[ch]
        cells += [(x + cx, y) for y, row in enumerate(rows) for cx, c in enumerate(row) if c == '#']
        x += len(rows[0]) + 1
    return cells, x - 1


def tab_image(word):
    """Rotates the word a quarter turn anticlockwise and centres it on the tab."""
    cells, width = ink_of(word)
    assert width <= TAB_H, word
    top, left = (TAB_H - width) // 2, 4
    pixels = [[0] * TAB_W for _ in range(TAB_H)]
    for x, y in cells:
        pixels[top + width - 1 - x][left + y] = 1
    return pixels


# Icon: white "T" with a green boot arrow on a rounded dark blue tile.
ICON_PALETTE = [(0, 0, 0), (0, 40, 96), (16, 80, 160), (255, 255, 255), (40, 200, 60), (0, 100, 20)]
CLEAR, EDGE, TILE, WHITE, GREEN, GREEN_EDGE = range(6)


def in_tile(u, v, r=0.2):
    du, dv = max(r - u, u - (1 - r), 0), max(r - v, v - (1 - r), 0)
    return 0 <= u <= 1 and 0 <= v <= 1 and du * du + dv * dv <= r * r


def in_arrow(u, v):
    return u >= 0.62 and abs(v - 0.66) <= (0.9 - u) * 0.8


def icon_colour(n, px, py):
    at = lambda x, y: ((x + 0.5) / n, (y + 0.5) / n)
    u, v = at(px, py)
    if not in_tile(u, v):
        return CLEAR
    if in_arrow(u, v):
        near = [at(px + dx, py + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))]
        return GREEN if all(in_arrow(*p) for p in near) or n < 32 else GREEN_EDGE
    if any(not in_tile(*at(px + dx, py + dy)) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
        return EDGE
    bar = 0.16 <= u <= 0.76 and 0.18 <= v <= 0.37
    stem = 0.36 <= u <= 0.56 and 0.18 <= v <= 0.84
    return WHITE if bar or stem else TILE


def icon_image(n):
    return [[icon_colour(n, x, y) for x in range(n)] for y in range(n)]


def dib(pixels, palette, height_factor=1):
    """Info header, 256-entry palette and bottom-up 8-bit rows of a top-down pixel grid."""
    h, w = len(pixels), len(pixels[0])
    stride = (w + 3) & ~3
    rows = b''.join(bytes(row) + bytes(stride - w) for row in reversed(pixels))
    header = struct.pack('<IiiHHIIiiII', 40, w, h * height_factor, 1, 8, 0, len(rows), 2835, 2835, 0, 0)
    colours = palette + [(0, 0, 0)] * (256 - len(palette))
    return header + b''.join(bytes((b, g, r, 0)) for r, g, b in colours) + rows


def bmp_file(pixels, palette):
    body = dib(pixels, palette)
    return struct.pack('<2sIHHI', b'BM', 14 + len(body), 0, 0, 14 + 40 + 256 * 4) + body


def and_mask(pixels):
    """1-bit transparency mask, bottom-up, rows padded to 32 bits."""
    stride = ((len(pixels[0]) + 31) // 32) * 4
    out = b''
    for row in reversed(pixels):
        bits = [1 if p == CLEAR else 0 for p in row]
        packed = bytes(int(''.join(map(str, bits[i:i + 8])).ljust(8, '0'), 2) for i in range(0, len(bits), 8))
        out += packed + bytes(stride - len(packed))
    return out


def ico_file(sizes):
    images = [dib(icon_image(n), ICON_PALETTE, 2) + and_mask(icon_image(n)) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def main():
    for name, word in TABS.items():
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(bmp_file(tab_image(word), TAB_PALETTE))
    with open(os.path.join(HERE, 'tembrel.ico'), 'wb') as f:
        f.write(ico_file([16, 32]))


if __name__ == '__main__':
    main()
