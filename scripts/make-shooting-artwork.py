#!/usr/bin/env python3
"""Writes the shooting view's artwork into resources/images/sulo/ and lists it
in resources/shooting.qrc. Run it after a change of look; the SVGs it writes
are committed."""
import os

ROOT = os.path.join(os.path.dirname(__file__), "..", "resources")
OUT = os.path.join(ROOT, "images", "sulo")
FONT = "Noto Sans CJK KR"
DARK, ACCENT, WHITE, GREY, LIGHT = "#323232", "#72CBD1", "#FFFFFF", "#787878", "#C8C8C8"
files = []


def svg(name, w, h, body):
    files.append(name)
    with open(os.path.join(OUT, name), "w", encoding="utf-8") as f:
        f.write(f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n{body}</svg>\n')


def text(x, y, size, fill, s, weight="bold", anchor="middle", spacing=0):
    return (f'<text x="{x}" y="{y}" font-family="{FONT}" font-size="{size}" font-weight="{weight}" '
            f'letter-spacing="{spacing}" text-anchor="{anchor}" fill="{fill}">{s}</text>\n')


def rect(w, h, fill, rx=0, stroke=None, x=0, y=0, sw=1.5):
    s = f' stroke="{stroke}" stroke-width="{sw}"' if stroke else ""
    return f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{rx}" fill="{fill}"{s}/>\n'


# The panel's captions, drawn over the panel at 96, 32 (357 x 450); the
# controls sit at fixed places below each caption.
captions = [(16, "OVERLAY"), (96, "OPACITY"), (172, "GUIDE · ZOOM · FLIP"), (256, "FOCUS"), (361, "SAVE LOCATION")]
svg("function_title.svg", 357, 450, "".join(text(0, y + 1, 13, GREY, c, anchor="start", spacing=2) for y, c in captions)
    + f'<path d="M0 {152} H357 M0 {236} H357 M0 {340} H357" stroke="#DADDDE" stroke-width="1"/>\n')

# Overlay badges.
svg("overlay_off.svg", 69, 18, rect(67, 16, WHITE, rx=8, stroke=LIGHT, x=1, y=1) + text(34.5, 13, 10, GREY, "OFF", spacing=1))
svg("overlay_on.svg", 69, 18, rect(69, 18, ACCENT, rx=9) + text(34.5, 13, 10, WHITE, "ON", spacing=1))

# Small "Open" button beside a path field, 60 x 30.
for state, fill in (("", DARK), ("_over", "#4A4A4A"), ("_pressed", ACCENT)):
    svg(f"open{state}.svg", 60, 30, rect(60, 30, fill, rx=4) + text(30, 19.5, 12, WHITE, "Open"))

# Toggle buttons 117 x 42: off look (default and disabled), on look (selected).
def toggle(caption, on):
    if on:
        return rect(117, 42, ACCENT, rx=6) + text(58.5, 26.5, 14, WHITE, caption, spacing=1)
    return rect(115.5, 40.5, WHITE, rx=6, stroke=LIGHT, x=0.75, y=0.75) + text(58.5, 26.5, 14, GREY, caption, spacing=1)


for key, caption in (("guide", "GUIDE"), ("zoom", "ZOOM"), ("flip", "FLIP")):
    svg(f"{key}.svg", 117, 42, toggle(caption, False))
    svg(f"{key}_disabled.svg", 117, 42, toggle(caption, False))
    svg(f"{key}_selected.svg", 117, 42, toggle(caption, True))
    svg(f"{key}_over.svg", 117, 42, rect(115.5, 40.5, "#EEF9FA", rx=6, stroke=ACCENT, x=0.75, y=0.75)
        + text(58.5, 26.5, 14, DARK, caption, spacing=1))
    svg(f"{key}_pressed.svg", 117, 42, rect(117, 42, "#5BB5BB", rx=6) + text(58.5, 26.5, 14, WHITE, caption, spacing=1))

# Focus steps 87 x 36: near (left) and far (right), one or two chevrons.
def chevrons(n, right, color):
    out = []
    for i in range(n):
        cx = 43.5 + (i - (n - 1) / 2) * 9
        d = f"M{cx - 3} 11 l6 7 l-6 7" if right else f"M{cx + 3} 11 l-6 7 l6 7"
        out.append(f'<path d="{d}" fill="none" stroke="{color}" stroke-width="2.5" stroke-linecap="round" stroke-linejoin="round"/>')
    return "".join(out) + "\n"


for key, n, right in (("focus_left_double", 2, False), ("focus_left", 1, False), ("focus_right", 1, True), ("focus_right_double", 2, True)):
    for state, fill, ink, border in (("", WHITE, GREY, LIGHT), ("_over", "#EEF9FA", DARK, ACCENT), ("_pressed", ACCENT, WHITE, ACCENT)):
        svg(f"{key}{state}.svg", 87, 36, rect(85.5, 34.5, fill, rx=6, stroke=border, x=0.75, y=0.75) + chevrons(n, right, ink))

# The shoot button, 357 x 93.
def shoot(fill, ring):
    return (rect(357, 93, fill, rx=10) + f'<circle cx="112" cy="46.5" r="20" fill="none" stroke="{ring}" stroke-width="4"/>'
            f'<circle cx="112" cy="46.5" r="11" fill="{ring}"/>\n' + text(200, 56, 28, WHITE, "SHOOT", spacing=5))


svg("shoot.svg", 357, 93, shoot(ACCENT, WHITE))
svg("shoot_over.svg", 357, 93, shoot("#5BB5BB", WHITE))
svg("shoot_pressed.svg", 357, 93, shoot(DARK, ACCENT))

# Side markers drawn into every frame and picture: L at the bottom right, R at
# the bottom left (the patient faces the camera).
for key, letter in (("marker_left", "L"), ("marker_right", "R")):
    svg(f"{key}.svg", 66, 66, f'<circle cx="33" cy="33" r="30" fill="#000000" fill-opacity="0.45" stroke="{WHITE}" stroke-width="3"/>'
        + text(33, 44, 32, WHITE, letter))

# The overlay's placeholder until a reference picture is opened.
svg("overlay_placeholder.svg", 543, 644,
    '<path d="M271.5 140 C200 140 170 200 170 290 C170 400 220 500 271.5 500 C323 500 373 400 373 290 C373 200 343 140 271.5 140 Z" '
    f'fill="none" stroke="{ACCENT}" stroke-width="3" stroke-dasharray="10 8"/>\n')

with open(os.path.join(ROOT, "shooting.qrc"), "w", encoding="utf-8") as f:
    f.write('<!DOCTYPE RCC><RCC version="1.0">\n<qresource prefix="/">\n')
    for name in files:
        f.write(f"  <file>images/sulo/{name}</file>\n")
    f.write("</qresource>\n</RCC>\n")
print(f"wrote {len(files)} pictures")
