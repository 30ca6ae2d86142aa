#!/usr/bin/env python3
"""Draws the icons of the language libraries as XPM files into this folder.

Run it by hand after changing a glyph; the XPM files are committed and the build only reads
them. Document types and the connect/disconnect commands are 32x32 rounded squares with a
letter or a pictogram; the three activity indicators of the status bar are 16x16 discs.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# 5x7 capitals, one string per row, '#' = ink.
FONT = {
    'A': [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    'D': ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    'E': ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    'G': [".####", "#....", "#....", "#.###", "#...#", "#...#", ".###."],
    'H': ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    'R': ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    'T': ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    'V': ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    'W': ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    'X': ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    'Z': ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
}

# name -> (fill colour, border colour, glyph)
DOCUMENTS = {
    'IDI_IHTE': ('#2E7D32', '#1B5E20', 'T'),  # terminal
    'IDI_IHEX': ('#6D4C41', '#4E342E', 'E'),  # disk on chip explorer
    'IDI_IHDM': ('#C62828', '#8E0000', 'R'),  # recorder
    'IDI_IHAQ': ('#00838F', '#005662', 'V'),  # Varnel remote view
    'IDI_IHIM': ('#4527A0', '#311B92', 'Z'),  # Zerath remote view
    'IDI_IHTL': ('#EF6C00', '#B53D00', 'A'),  # automatic test
    'IDI_IHGE': ('#1565C0', '#003C8F', 'G'),  # geometry
    'IDI_IHHD': ('#AD1457', '#78002E', 'H'),  # heading
    'IDI_IHDB': ('#455A64', '#1C313A', 'D'),  # remote trace viewer
    'IDI_IHWB': ('#0277BD', '#004C8C', 'W'),  # web viewer (documentation)
}


def blank(size):
    return [['.'] * size for _ in range(size)]


def rounded_square(img, radius=5):
    size = len(img)
    for y in range(size):
        for x in range(size):
            cx = min(max(x, radius), size - 1 - radius)
            cy = min(max(y, radius), size - 1 - radius)
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if d2 <= radius * radius:
                img[y][x] = 'f'
                if d2 > (radius - 1.2) ** 2 or x in (0, size - 1) or y in (0, size - 1):
                    img[y][x] = 'b'


def disc(img):
    size = len(img)
    c = (size - 1) / 2
    for y in range(size):
        for x in range(size):
            d2 = (x - c) ** 2 + (y - c) ** 2
            if d2 <= (c + 0.3) ** 2:
                img[y][x] = 'b' if d2 > (c - 1.0) ** 2 else 'f'


def letter(img, ch, scale=3):
    rows = FONT[ch]
    w, h = 5 * scale, 7 * scale
    x0, y0 = (len(img) - w) // 2, (len(img) - h) // 2
    for r, row in enumerate(rows):
        for c, cell in enumerate(row):
            if cell == '#':
                for dy in range(scale):
                    for dx in range(scale):
                        img[y0 + r * scale + dy][x0 + c * scale + dx] = 'w'


def rect(img, x0, y0, x1, y1):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = 'w'


def ring(img, cx, cy, outer, inner):
    for y in range(len(img)):
        for x in range(len(img)):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if inner * inner <= d2 <= outer * outer:
                img[y][x] = 'w'


def write(name, img, fill, border):
    size = len(img)
    var = name.lower() + '_xpm'
    lines = ['/* XPM */', 'static const char* const %s[] = {' % var,
             '"%d %d 4 1",' % (size, size),
             '". c None",', '"b c %s",' % border, '"f c %s",' % fill, '"w c #FFFFFF",']
    for i, row in enumerate(img):
        lines.append('"%s"%s' % (''.join(row), ',' if i < size - 1 else ''))
    lines.append('};')
    with open(os.path.join(HERE, name + '.xpm'), 'w') as out:
        out.write('\n'.join(lines) + '\n')


def write_strip(name, rows, colours):
    """Writes a picture of any width from rows of colour keys; `colours` maps each key to a colour."""
    var = name.lower() + '_xpm'
    lines = ['/* XPM */', 'static const char* const %s[] = {' % var,
             '"%d %d %d 1",' % (len(rows[0]), len(rows), len(colours) + 1), '". c None",']
    lines += ['"%s c %s",' % (key, colour) for key, colour in colours.items()]
    for i, row in enumerate(rows):
        lines.append('"%s"%s' % (''.join(row), ',' if i < len(rows) - 1 else ''))
    lines.append('};')
    with open(os.path.join(HERE, name + '.xpm'), 'w') as out:
        out.write('\n'.join(lines) + '\n')


def recorder_icons():
    # Commands of the recorder's tool bar and popup menu, 16x16.
    img = blank(16)
    disc(img)
    write('IDI_IHDM_START', img, '#E53935', '#8E0000')
    img = blank(16)
    for y in range(3, 13):
        for x in range(3, 13):
            img[y][x] = 'b' if x in (3, 12) or y in (3, 12) else 'f'
    write('IDI_IHDM_STOP', img, '#424242', '#212121')
    img = blank(16)
    for y in range(3, 13):
        for x in list(range(4, 7)) + list(range(9, 12)):
            img[y][x] = 'f'
    write('IDI_IHDM_SUSPEND', img, '#424242', '#212121')
    img = blank(16)
    for y in (3, 7, 11):
        for x in range(2, 14):
            img[y][x] = 'f'
            img[y + 1][x] = 'b'
    write('IDI_IHDM_PROPERTIES', img, '#546E7A', '#263238')

    # The status picture: one light for each state of the recording.
    for name, fill, border in (('IDI_IHDM_STATUS_IDLE', '#9E9E9E', '#616161'),
                               ('IDI_IHDM_STATUS_WAITING', '#FB8C00', '#B53D00'),
                               ('IDI_IHDM_STATUS_NO_DATA', '#FDD835', '#C6A700'),
                               ('IDI_IHDM_STATUS_RECORDING', '#E53935', '#8E0000')):
        img = blank(16)
        disc(img)
        write(name, img, fill, border)
    img = blank(16)
    disc(img)
    for i in range(4, 12):
        img[i][i] = img[i][15 - i] = 'w'
        img[i][i + 1] = img[i][14 - i] = 'w'
    write('IDI_IHDM_STATUS_FAILED', img, '#B71C1C', '#7F0000')

    # The level meter: eleven steps, n bars lit of ten, rising in height.
    for level in range(11):
        rows = [['.'] * 51 for _ in range(16)]
        for bar in range(10):
            top = 13 - bar
            for y in range(top, 16):
                for x in range(bar * 5 + 1, bar * 5 + 5):
                    rows[y][x] = ('r' if bar >= 8 else 'g') if bar < level else 'u'
        write_strip('IDI_IHDM_LEVEL_%d' % level, rows, {'g': '#43A047', 'r': '#E53935', 'u': '#CFD8DC'})


def main():
    recorder_icons()
    for name, (fill, border, ch) in DOCUMENTS.items():
        img = blank(32)
        rounded_square(img)
        letter(img, ch)
        write(name, img, fill, border)

    # Connect: one unbroken link with plugs at both ends.
    img = blank(32)
    rounded_square(img)
    rect(img, 5, 14, 26, 17)
    rect(img, 5, 10, 9, 21)
    rect(img, 22, 10, 26, 21)
    write('IDI_UTTE_CONNECT', img, '#2E7D32', '#1B5E20')

    # Disconnect: the same link broken in the middle.
    img = blank(32)
    rounded_square(img)
    rect(img, 5, 14, 12, 17)
    rect(img, 19, 14, 26, 17)
    rect(img, 5, 10, 9, 21)
    rect(img, 22, 10, 26, 21)
    write('IDI_UTTE_DISCONNECT', img, '#C62828', '#8E0000')

    # The application: a target (a receiver's fix) on a dark blue square.
    img = blank(32)
    rounded_square(img)
    ring(img, 15.5, 15.5, 11.5, 9.0)
    ring(img, 15.5, 15.5, 3.5, 0)
    rect(img, 15, 2, 16, 8)
    rect(img, 15, 23, 16, 29)
    rect(img, 2, 15, 8, 16)
    rect(img, 23, 15, 29, 16)
    write('IDR_MAINFRAME', img, '#0D47A1', '#002171')

    # Activity indicators.
    for name, fill, border in (('IDI_UTTE_STATUS_NONE', '#9E9E9E', '#616161'),
                               ('IDI_UTTE_STATUS_RECEIVE', '#43A047', '#1B5E20'),
                               ('IDI_UTTE_STATUS_SEND', '#FB8C00', '#B53D00')):
        img = blank(16)
        disc(img)
        write(name, img, fill, border)


if __name__ == '__main__':
    main()
