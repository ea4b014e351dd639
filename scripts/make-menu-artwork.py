#!/usr/bin/env python3
"""Writes the working screen's artwork (tab menu, mode sub-menu) into
resources/images/menu/ and lists it in resources/menu.qrc. Run it after a
change of look; the SVGs it writes are committed."""
import os

ROOT = os.path.join(os.path.dirname(__file__), "..", "resources")
OUT = os.path.join(ROOT, "images", "menu")
FONT = "Noto Sans CJK KR"
DARK, ACCENT, WHITE, GREY = "#323232", "#72CBD1", "#FFFFFF", "#787878"
files = []


def svg(name, w, h, body):
    files.append(name)
    with open(os.path.join(OUT, name), "w", encoding="utf-8") as f:
        f.write(f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n{body}</svg>\n')


def text(x, y, size, fill, s, weight="bold", anchor="middle", spacing=0):
    return (f'<text x="{x}" y="{y}" font-family="{FONT}" font-size="{size}" font-weight="{weight}" '
            f'letter-spacing="{spacing}" text-anchor="{anchor}" fill="{fill}">{s}</text>\n')


def rect(w, h, fill, rx=0, stroke=None, x=0, y=0):
    s = f' stroke="{stroke}" stroke-width="1.5"' if stroke else ""
    return f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{rx}" fill="{fill}"{s}/>\n'


# Header logo of the working screen.
svg("tab_logo.svg", 148, 54,
    '<circle cx="27" cy="27" r="14" fill="none" stroke="#72CBD1" stroke-width="4"/>\n'
    '<circle cx="27" cy="27" r="5.5" fill="#FFFFFF"/>\n' + text(54, 33, 22, WHITE, "SULO", anchor="start", spacing=4))

# Shoot and Viewer tabs: grey caption, white on hover, accent when selected.
for key, caption in (("shoot", "SHOOT"), ("viewer", "VIEWER")):
    for state, fill in (("", "#9A9A9A"), ("_over", WHITE), ("_pressed", ACCENT), ("_selected", WHITE), ("_disabled", "#5A5A5A")):
        svg(f"tab_{key}{state}.svg", 192, 66, text(96, 40, 20, fill, caption, spacing=3))
svg("tab_bar.svg", 128, 4, rect(128, 4, ACCENT, rx=2))

# Save popup buttons and texts.
for key, caption, base in (("save", "저장", ACCENT), ("saveas", "다른 위치에 저장", DARK), ("dontsave", "저장 안 함", "#9A9A9A")):
    for state, opacity in (("", 1.0), ("_over", 0.85), ("_pressed", 0.7)):
        svg(f"popup_{key}{state}.svg", 135, 42,
            f'<g opacity="{opacity}">' + rect(135, 42, base, rx=5) + "</g>\n" + text(67.5, 26.5, 14, WHITE, caption))
svg("popup_question.svg", 423, 36, text(211.5, 25, 18, DARK, "촬영한 사진을 저장하시겠습니까?"))
svg("popup_saved.svg", 423, 36, text(211.5, 25, 18, ACCENT, "사진이 저장되었습니다."))
svg("popup_notsaved.svg", 423, 36, text(211.5, 25, 18, GREY, "사진을 저장하지 않았습니다."))

# Mode buttons of the shooting row.
def mode_button(prefix, key, caption, w=105, h=33):
    looks = (("", WHITE, GREY, "#C8C8C8"), ("_over", "#EEF9FA", DARK, ACCENT), ("_pressed", ACCENT, WHITE, ACCENT),
             ("_selected", DARK, WHITE, DARK))
    for state, fill, ink, border in looks:
        svg(f"{prefix}_{key}{state}.svg", w, h, rect(w - 1.5, h - 1.5, fill, rx=16, stroke=border, x=0.75, y=0.75)
            + text(w / 2, h / 2 + 5, 13, ink, caption, spacing=1.5))


for key, caption in (("sulo", "SULO"), ("portrait", "PORTRAIT"), ("uv", "UV")):
    mode_button("sub", key, caption)

# Settings (gear) button, 50 x 57.
def gear(color):
    teeth = "".join(f'<rect x="22.5" y="13" width="5" height="8" rx="1" fill="{color}" transform="rotate({a} 25 28.5)"/>'
                    for a in range(0, 360, 45))
    return teeth + f'\n<circle cx="25" cy="28.5" r="10" fill="{color}"/>\n<circle cx="25" cy="28.5" r="4" fill="#FFFFFF"/>\n'


for state, color in (("", GREY), ("_over", DARK), ("_pressed", ACCENT)):
    svg(f"sub_setting{state}.svg", 50, 57, gear(color))

# One-up / three-up switch.
def panes(n, w, h, color):
    gap = 3
    pw = (w - gap * (n - 1)) / n
    return "".join(rect(pw, h - 6 if n == 2 else h - 2, color, rx=2, x=i * (pw + gap), y=3 if n == 2 else 1) for i in range(n))


for state, color in (("", "#B4B4B4"), ("_over", GREY), ("_pressed", ACCENT), ("_selected", DARK)):
    svg(f"sub_viewerone{state}.svg", 61, 17, panes(2, 61, 17, color))
    svg(f"sub_viewerthree{state}.svg", 63, 23, panes(3, 63, 23, color))

# Full-screen and medium-screen buttons, 141 x 57.
def screen_button(caption, ink, icon):
    return icon + text(88, 34, 13, ink, caption, spacing=1)


def corners(color, inward):
    d = 5 if not inward else -5
    p = []
    for cx, cy, sx, sy in ((14, 20, 1, 1), (34, 20, -1, 1), (14, 37, 1, -1), (34, 37, -1, -1)):
        if inward:
            cx, cy = cx + 5 * sx, cy + 5 * sy
        p.append(f'<path d="M{cx} {cy + sy * abs(d)} L{cx} {cy} L{cx + sx * abs(d)} {cy}" fill="none" stroke="{color}" '
                 f'stroke-width="2.5" stroke-linecap="round"/>')
    return "".join(p) + "\n"


for state, color in (("", GREY), ("_over", DARK), ("_pressed", ACCENT)):
    svg(f"sub_fullscreen{state}.svg", 141, 57, screen_button("FULL", color, corners(color, False)))
    svg(f"sub_midiumscreen{state}.svg", 141, 57, screen_button("MEDIUM", color, corners(color, True)))

# Guide-line button, 50 x 57: the off look is grey, the on look accent.
def grid(color):
    return (f'<rect x="13" y="16" width="24" height="24" rx="2" fill="none" stroke="{color}" stroke-width="2"/>'
            f'<path d="M25 16 V40 M13 28 H37" stroke="{color}" stroke-width="2"/>\n')


for state, color in (("", GREY), ("_over", DARK), ("_pressed", ACCENT), ("_selected", ACCENT), ("_disabled", GREY)):
    svg(f"sub_guideline{state}.svg", 50, 57, grid(color))

with open(os.path.join(ROOT, "menu.qrc"), "w", encoding="utf-8") as f:
    f.write('<!DOCTYPE RCC><RCC version="1.0">\n<qresource prefix="/">\n')
    for name in files:
        f.write(f"  <file>images/menu/{name}</file>\n")
    f.write("</qresource>\n</RCC>\n")
print(f"wrote {len(files)} pictures")
