#!/usr/bin/env python3
"""Writes the program's artwork as SVG files named by bitmap id, and art.qrc.

Button faces share one look per colour role: green (normal), red (selected, drawn while
pressed or for the option in force), grey (disabled), each with a white symbol. Run it
again after changing a symbol; the generated files are committed beside it.
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))

FACES = {
    # top, bottom, border, symbol opacity, symbol offset (pressed faces sink by a pixel)
    "green": ("#55bf67", "#2b8a3c", "#1d6a2a", 1.0, 0.0),
    "red": ("#b3322b", "#e2574d", "#7e201a", 1.0, 0.75),
    "grey": ("#c9cdd2", "#a7adb4", "#8c9299", 0.85, 0.0),
}


def face(w, h, role, symbol):
    top, bottom, border, opacity, dy = FACES[role]
    gloss = "" if role == "red" else (
        f'<rect x="2" y="2" width="{w - 4}" height="{(h - 4) / 2:.1f}" rx="2.5" '
        f'fill="#ffffff" fill-opacity="0.14"/>')
    return f'''<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" width="{w}" height="{h}" viewBox="0 0 {w} {h}">
<defs><linearGradient id="f" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/></linearGradient></defs>
<rect x="0.5" y="0.5" width="{w - 1}" height="{h - 1}" rx="4" fill="url(#f)" stroke="{border}" stroke-width="1"/>
{gloss}
<g transform="translate(0,{dy})" fill="#ffffff" stroke="#ffffff" fill-opacity="{opacity}" stroke-opacity="{opacity}" stroke-linejoin="round" stroke-linecap="round">
{symbol}
</g>
</svg>
'''


def pad_arrow(angle):
    # An arrow pointing up, turned about the centre of the 32 x 32 face.
    return (f'<g transform="rotate({angle} 16 16)">'
            '<polygon points="16,6.5 24.5,15.5 19.5,15.5 19.5,25 12.5,25 12.5,15.5 7.5,15.5" '
            'stroke-width="1.2"/></g>')


def figure(cx, scale):
    head = f'<circle cx="{cx}" cy="{16 - 6 * scale:.2f}" r="{4.2 * scale:.2f}" stroke="none"/>'
    top = 16 + 0.5 * scale
    bottom = 16 + 10 * scale
    half = 8 * scale
    body = (f'<path d="M {cx - half:.2f} {bottom:.2f} L {cx - half:.2f} {top + 4 * scale:.2f} '
            f'Q {cx - half:.2f} {top:.2f} {cx - half + 4 * scale:.2f} {top:.2f} '
            f'L {cx + half - 4 * scale:.2f} {top:.2f} '
            f'Q {cx + half:.2f} {top:.2f} {cx + half:.2f} {top + 4 * scale:.2f} '
            f'L {cx + half:.2f} {bottom:.2f} Z" stroke="none"/>')
    return head + body


def h_arrow(x_from, x_to, y=16):
    # A short horizontal arrow from x_from to x_to, head at x_to.
    d = 1 if x_to > x_from else -1
    head = x_to - d * 6
    return (f'<line x1="{x_from}" y1="{y}" x2="{head}" y2="{y}" stroke-width="3.2" fill="none"/>'
            f'<polygon points="{x_to},{y} {head},{y - 5} {head},{y + 5}" stroke-width="1"/>')


SYMBOLS = {
    "zoom_in": figure(36, 1.15) + h_arrow(6, 20) + h_arrow(66, 52),
    "zoom_out": figure(36, 0.7) + h_arrow(22, 8) + h_arrow(50, 64),
    "return": ('<path d="M 48 24 L 48 17 Q 48 11 42 11 L 30 11" fill="none" stroke-width="3.4"/>'
               '<polygon points="22,11 30,5 30,17" stroke-width="1"/>'),
    "wide": ('<path d="M 23 8 L 49 8 Q 55 16 49 24 L 23 24 Q 17 16 23 8 Z" fill="none" '
             'stroke-width="2.6"/>'
             '<circle cx="29" cy="15" r="2" stroke="none"/><circle cx="36" cy="15" r="2" stroke="none"/>'
             '<circle cx="43" cy="15" r="2" stroke="none"/>'),
    "corners": ('<path d="M 22 13 L 22 8 L 27 8 M 45 8 L 50 8 L 50 13 M 50 19 L 50 24 L 45 24 '
                'M 27 24 L 22 24 L 22 19" fill="none" stroke-width="2.6"/>'
                '<circle cx="36" cy="16" r="3" stroke="none"/>'),
    "disc": '<circle cx="36" cy="16" r="8" stroke="none"/>',
    "bands": ('<rect x="22" y="8" width="28" height="6" rx="1.5" stroke="none"/>'
              '<rect x="22" y="18" width="28" height="6" rx="1.5" stroke="none"/>'),
    "a5": ('<path d="M 24 25 L 30 7 L 36 25 M 26.4 18.5 L 33.6 18.5" fill="none" stroke-width="3"/>'
           '<path d="M 49.5 7.5 L 41.5 7.5 L 40.5 15 Q 43 13.3 45.5 13.6 Q 50 14.3 50 19.2 '
           'Q 49.8 24.8 44.5 24.8 Q 41.5 24.8 39.8 22.8" fill="none" stroke-width="3"/>'),
    "rotate": ('<path d="M 36 8 A 8 8 0 1 1 28 16" fill="none" stroke-width="3"/>'
               '<polygon points="23.5,16.5 32.5,16.5 28,10" stroke-width="1"/>'),
}

PAD = {  # id: (normal, pressed, disabled, arrow angle)
    1003: (144, 190, 169, -45), 1004: (145, 189, 158, 0), 1005: (146, 191, 160, 45),
    1006: (147, 183, 166, -90), 1008: (148, 186, 168, 90), 1009: (149, 187, 164, -135),
    1010: (150, 179, 170, 180), 1011: (151, 181, 171, 135),
}

WIDE = [  # (bitmap ids by role, symbol)
    ({"green": 142, "red": 174, "grey": 173}, "zoom_in"),
    ({"green": 143, "red": 175, "grey": 172}, "zoom_out"),
    ({"green": 152, "red": 178, "grey": 202}, "return"),
    ({"green": 153, "red": 192, "grey": 199}, "wide"),
    ({"green": 154, "red": 177, "grey": 201}, "corners"),
    ({"green": 155, "red": 182, "grey": 204}, "disc"),
    ({"green": 156, "red": 185, "grey": 203}, "bands"),
    ({"green": 157, "red": 176}, "a5"),
    ({"green": 209, "red": 208}, "rotate"),
]

# ---- camera-position pictures, 72 x 72, side views with the field of view in red ----

SCENE = '''<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" width="72" height="72" viewBox="0 0 72 72">
<defs>
<linearGradient id="sky" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#fbfcfd"/><stop offset="1" stop-color="#e6eaee"/></linearGradient>
<linearGradient id="body" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#5d646c"/><stop offset="1" stop-color="#31363b"/></linearGradient>
</defs>
<rect x="0" y="0" width="72" height="72" fill="url(#sky)"/>
{table}
{fov}
{camera}
</svg>
'''

TABLE = '<rect x="0" y="64" width="72" height="8" fill="#cdbb9f"/><line x1="0" y1="64" x2="72" y2="64" stroke="#a8967a" stroke-width="1"/>'


def fov(points):
    pts = " ".join(f"{x},{y}" for x, y in points)
    return (f'<polygon points="{pts}" fill="#e53935" fill-opacity="0.28" stroke="#e53935" '
            f'stroke-width="1" stroke-opacity="0.8" stroke-linejoin="round"/>')


def head(cx, cy, angle):
    # The camera head: a rounded body with its lens on the side that angle points to
    # (0 = up, 90 = right, 180 = down, 270 = left).
    return (f'<g transform="rotate({angle} {cx} {cy})">'
            f'<rect x="{cx - 9}" y="{cy - 6}" width="18" height="13" rx="3.5" fill="url(#body)" stroke="#22262a" stroke-width="0.8"/>'
            f'<rect x="{cx - 5}" y="{cy - 9}" width="10" height="4" rx="1.2" fill="#22262a"/>'
            f'<circle cx="{cx}" cy="{cy - 9}" r="1.6" fill="#5fa8e8"/>'
            f'<circle cx="{cx + 5.5}" cy="{cy + 3.5}" r="1" fill="#7dd37f"/>'
            '</g>')


def stand(x, top):
    return (f'<rect x="{x - 11}" y="60" width="22" height="4.5" rx="2" fill="#3b4046"/>'
            f'<rect x="{x - 2}" y="{top}" width="4" height="{60 - top}" fill="#6b7279"/>')


SCENES = {
    # Release: the head alone, in the hand, aiming down-left.
    134: TABLE + fov([(37, 35), (2, 55), (16, 70)]) + head(44, 28, 225),
    # Upside: on its stand, aiming upward.
    132: TABLE + fov([(36, 19), (14, 1), (58, 1)]) + stand(36, 34) + head(36, 30, 0),
    # OHP: on its stand, reaching over the table and aiming straight down.
    133: (TABLE + fov([(26, 30), (10, 64), (42, 64)]) + stand(54, 14)
          + '<rect x="24" y="12" width="32" height="4" rx="1.5" fill="#6b7279"/>'
          + head(26, 21, 180)),
    # Front: on its stand, aiming ahead (to the left).
    135: TABLE + fov([(24, 34), (1, 18), (1, 50)]) + stand(40, 38) + head(34, 34, 270),
}

# ---- speakerphone top views, 136 x 136 ----

UNIT = '''<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" width="136" height="136" viewBox="0 0 136 136">
<defs>
<linearGradient id="unit" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#6d747c"/><stop offset="1" stop-color="#3a3f45"/></linearGradient>
<linearGradient id="arrow" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#a9cff3"/><stop offset="1" stop-color="#7cb2e6"/></linearGradient>
</defs>
{arrows}
{body}
</svg>
'''


def arrow(o, c, r0, extra=15, shaft=19, head_w=30, head_len=12):
    # An arrow leaving the unit at distance r0 from o and pointing through the radio at c.
    ux, uy = c[0] - o[0], c[1] - o[1]
    length = math.hypot(ux, uy)
    ux, uy = ux / length, uy / length
    px, py = -uy, ux
    r1 = length + extra
    rb = r1 - head_len

    def at(r, s):
        return (o[0] + ux * r + px * s, o[1] + uy * r + py * s)

    pts = [at(r0, -shaft / 2), at(rb, -shaft / 2), at(rb, -head_w / 2), at(r1, 0),
           at(rb, head_w / 2), at(rb, shaft / 2), at(r0, shaft / 2)]
    return ('<polygon points="' + " ".join(f"{x:.1f},{y:.1f}" for x, y in pts)
            + '" fill="url(#arrow)" stroke="#3f7fc0" stroke-width="1.2" stroke-linejoin="round"/>')


def radio_centre(x, y):
    return (x + 8, y + 8)


def grille(cx, cy, radius, count):
    dots = []
    for i in range(count):
        a = 2 * math.pi * i / count
        dots.append(f'<circle cx="{cx + radius * math.cos(a):.1f}" cy="{cy + radius * math.sin(a):.1f}" r="1.1" fill="#8a929a"/>')
    return "".join(dots)


def centre_mark(c):
    return (f'<circle cx="{c[0]}" cy="{c[1]}" r="11" fill="#9aa2ab" stroke="#2c3035" stroke-width="1"/>'
            f'<circle cx="{c[0]}" cy="{c[1]}" r="9" fill="#c3c9cf"/>')


def disc_view():
    o = radio_centre(61, 61)
    radios = [(61, 108), (101, 85), (101, 38), (61, 14), (21, 38), (21, 85)]
    arrows = "".join(arrow(o, radio_centre(*r), 28) for r in radios)
    body = (f'<circle cx="{o[0]}" cy="{o[1]}" r="31" fill="url(#unit)" stroke="#2c3035" stroke-width="1.2"/>'
            f'<circle cx="{o[0]}" cy="{o[1]}" r="26" fill="none" stroke="#7d858d" stroke-width="0.8"/>'
            + grille(o[0], o[1], 20, 18) + centre_mark(o))
    return UNIT.format(arrows=arrows, body=body)


def bar_view():
    c = radio_centre(61, 61)
    left, right = (c[0] - 26, c[1]), (c[0] + 26, c[1])
    arrows = "".join([
        arrow(left, radio_centre(21, 38), 12), arrow(c, radio_centre(61, 24), 12),
        arrow(right, radio_centre(101, 38), 12), arrow(left, radio_centre(21, 85), 12),
        arrow(c, radio_centre(61, 95), 12), arrow(right, radio_centre(101, 85), 12)])
    body = (f'<rect x="{c[0] - 58}" y="{c[1] - 13}" width="116" height="26" rx="12" fill="url(#unit)" stroke="#2c3035" stroke-width="1.2"/>'
            f'<rect x="{c[0] - 54}" y="{c[1] - 9}" width="108" height="18" rx="8" fill="none" stroke="#7d858d" stroke-width="0.8"/>'
            + "".join(f'<circle cx="{c[0] + dx}" cy="{c[1] + dy}" r="1.1" fill="#8a929a"/>'
                      for dx in (-46, -40, -34, -28, -22, 22, 28, 34, 40, 46) for dy in (-4, 4))
            + centre_mark(c))
    return UNIT.format(arrows=arrows, body=body)


def triangle_view():
    c = radio_centre(61, 61)
    o = (c[0], c[1] + 2)
    arrows = "".join(arrow(o, radio_centre(*r), 20) for r in [(61, 108), (21, 38), (101, 38)])
    r = 36
    pts = [(o[0] + r * math.cos(math.radians(a)), o[1] + r * math.sin(math.radians(a)))
           for a in (-90, 30, 150)]
    tri = " ".join(f"{x:.1f},{y:.1f}" for x, y in pts)
    body = (f'<polygon points="{tri}" fill="url(#unit)" stroke="#2c3035" stroke-width="7" stroke-linejoin="round"/>'
            f'<polygon points="{tri}" fill="url(#unit)" stroke="#5b6269" stroke-width="4.6" stroke-linejoin="round"/>'
            + grille(o[0], o[1], 17, 12) + centre_mark(c))
    return UNIT.format(arrows=arrows, body=body)


def main():
    files = {}
    for normal, pressed, disabled, angle in PAD.values():
        sym = pad_arrow(angle)
        files[normal] = face(32, 32, "green", sym)
        files[pressed] = face(32, 32, "red", sym)
        files[disabled] = face(32, 32, "grey", sym)
    for ids, name in WIDE:
        for role, bid in ids.items():
            files[bid] = face(72, 32, role, SYMBOLS[name])
    for bid, content in SCENES.items():
        table, rest = TABLE, content[len(TABLE):]
        files[bid] = SCENE.format(table=table, fov="", camera=rest)
    files[198] = disc_view()
    files[211] = bar_view()
    files[213] = triangle_view()

    for bid, text in sorted(files.items()):
        with open(os.path.join(HERE, f"{bid}.svg"), "w") as f:
            f.write(text)
    with open(os.path.join(HERE, "art.qrc"), "w") as f:
        f.write('<!DOCTYPE RCC>\n<RCC version="1.0">\n<qresource prefix="/art">\n')
        for bid in sorted(files):
            f.write(f'  <file>{bid}.svg</file>\n')
        f.write('</qresource>\n</RCC>\n')
    print(f"{len(files)} pictures written")


if __name__ == "__main__":
    main()
