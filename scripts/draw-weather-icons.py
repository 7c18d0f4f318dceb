#!/usr/bin/env python3
"""Writes the weather icons resources/images/a0..a31.svg (today's card, 75 x 60) and
b0..b31.svg (the later days, 20 x 20), one per weather code of the demo server's forecast, from
a few shared parts (sun, clouds, rain, snow, hail, bolt, fog, dust) with light SMIL motion that
Qt's SVG renderer plays (animateTransform and animateColor only).

Run it from the repository root after changing a part: python3 scripts/draw-weather-icons.py
"""

import pathlib

OUT = pathlib.Path(__file__).resolve().parent.parent / "resources" / "images"

# Every part is drawn in a 60 x 60 box.


def sun(cx=30, cy=27, r=11):
    rays = "".join(
        f'<rect x="{cx - 1.6}" y="{cy - r - 8}" width="3.2" height="6" rx="1.6" '
        f'transform="rotate({a} {cx} {cy})"/>'
        for a in range(0, 360, 45)
    )
    return (
        f'<g fill="#ffb62e">'
        f'<g>{rays}<animateTransform attributeName="transform" type="rotate" '
        f'from="0 {cx} {cy}" to="45 {cx} {cy}" dur="4s" repeatCount="indefinite"/></g>'
        f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="#ffcf3f" stroke="#f29a18" stroke-width="1.5"/>'
        f"</g>"
    )


def small_sun():
    return sun(cx=21, cy=19, r=8)


def cloud(dark=False, dy=0):
    top, edge = ("#aab4bf", "#77828e") if dark else ("#ffffff", "#a9bccf")
    path = (
        "M13 42 C6 42 6 32 13 31 C13 23 23 20 27 26 C30 17 45 17 46 28 "
        "C54 28 55 42 47 42 Z"
    )
    return (
        f'<g transform="translate(0 {dy})"><g>'
        f'<path d="{path}" fill="{top}" stroke="{edge}" stroke-width="1.6"/>'
        f'<animateTransform attributeName="transform" type="translate" '
        f'values="0 0;2 0;0 0" dur="3s" repeatCount="indefinite"/></g></g>'
    )


def drops(count, colour="#3d8fe0"):
    xs = [18, 30, 42, 24, 36, 12, 48][:count]
    ys = [46, 47, 46, 52, 52, 51, 51]
    parts = "".join(
        f'<path d="M{x} {y} l-2 5 a2.2 2.2 0 0 0 4 0 Z"/>' for x, y in zip(xs, ys)
    )
    return (
        f'<g fill="{colour}"><g>{parts}'
        f'<animateTransform attributeName="transform" type="translate" '
        f'values="0 -3;-1 2;0 -3" dur="0.9s" repeatCount="indefinite"/></g></g>'
    )


def flakes(count):
    xs = [18, 30, 42, 24, 36][:count]
    ys = [48, 50, 48, 55, 55]
    parts = "".join(
        f'<path d="M{x - 3} {y} h6 M{x} {y - 3} v6 M{x - 2} {y - 2} l4 4 M{x + 2} {y - 2} l-4 4"/>'
        for x, y in zip(xs, ys)
    )
    return (
        f'<g stroke="#6fb7e8" stroke-width="1.3" stroke-linecap="round"><g>{parts}'
        f'<animateTransform attributeName="transform" type="translate" '
        f'values="0 -2;1 1;0 -2" dur="2s" repeatCount="indefinite"/></g></g>'
    )


def hail():
    parts = "".join(f'<circle cx="{x}" cy="{y}" r="2.4"/>' for x, y in [(20, 49), (32, 53), (43, 48)])
    return (
        f'<g fill="#e6f2fb" stroke="#7fa9c9" stroke-width="1"><g>{parts}'
        f'<animateTransform attributeName="transform" type="translate" '
        f'values="0 -3;0 2;0 -3" dur="0.8s" repeatCount="indefinite"/></g></g>'
    )


def bolt():
    return (
        '<path d="M31 36 L25 47 L30 47 L27 57 L37 43 L32 43 L35 36 Z" fill="#ffd43b" '
        'stroke="#e0a400" stroke-width="1">'
        '<animateColor attributeName="fill" values="#ffd43b;#fff6c2;#ffd43b" dur="1.2s" '
        'repeatCount="indefinite"/></path>'
    )


def fog():
    lines = "".join(
        f'<rect x="{x}" y="{y}" width="{w}" height="3.4" rx="1.7"/>'
        for x, y, w in [(10, 22, 34), (16, 30, 36), (8, 38, 40), (14, 46, 32)]
    )
    return (
        f'<g fill="#a3adb8"><g>{lines}'
        f'<animateTransform attributeName="transform" type="translate" '
        f'values="-2 0;3 0;-2 0" dur="4s" repeatCount="indefinite"/></g></g>'
    )


def dust(level):
    colour = ["#d9b26f", "#c99a4d", "#b07a32"][level - 1]
    swirls = "".join(
        f'<path d="M{x} {y} c6 -6 14 -6 18 0 s-8 8 -12 2" fill="none"/>'
        for x, y in [(12, 24), (26, 34), (10, 44)][:level + 0]
    )
    grains = "".join(
        f'<circle cx="{x}" cy="{y}" r="1.5"/>'
        for x, y in [(44, 20), (48, 30), (40, 40), (50, 46), (34, 52), (20, 54)][: 2 * level]
    )
    return (
        f'<g stroke="{colour}" stroke-width="3" stroke-linecap="round">{swirls}</g>'
        f'<g fill="{colour}"><g>{grains}'
        f'<animateTransform attributeName="transform" type="translate" '
        f'values="-3 0;3 -1;-3 0" dur="1.5s" repeatCount="indefinite"/></g></g>'
    )


def rain_cloud(n, dark=False):
    return cloud(dark, dy=-4) + drops(n)


def snow_cloud(n, dark=False):
    return cloud(dark, dy=-4) + flakes(n)


# One drawing per weather code: 0 晴 ... 31 强沙尘暴.
CODES = [
    sun(),  # 0 晴
    small_sun() + cloud(dy=4),  # 1 多云
    cloud(dark=True, dy=2),  # 2 阴
    small_sun() + rain_cloud(2),  # 3 阵雨
    cloud(True, -4) + bolt() + drops(2),  # 4 雷阵雨
    cloud(True, -4) + bolt() + hail(),  # 5 雷阵雨伴有冰雹
    cloud(dy=-4) + drops(2) + flakes(1),  # 6 雨夹雪
    rain_cloud(1),  # 7 小雨
    rain_cloud(3),  # 8 中雨
    rain_cloud(4, True),  # 9 大雨
    rain_cloud(5, True),  # 10 暴雨
    rain_cloud(6, True),  # 11 大暴雨
    rain_cloud(7, True),  # 12 特大暴雨
    small_sun() + snow_cloud(2),  # 13 阵雪
    snow_cloud(1),  # 14 小雪
    snow_cloud(2),  # 15 中雪
    snow_cloud(3),  # 16 大雪
    snow_cloud(5, True),  # 17 暴雪
    fog(),  # 18 雾
    cloud(dy=-4) + drops(2, "#6aa9d8") + hail(),  # 19 冻雨
    dust(3) + cloud(True, -8),  # 20 沙尘暴
    rain_cloud(2),  # 21 小到中雨
    rain_cloud(4),  # 22 中到大雨
    rain_cloud(5, True),  # 23 大到暴雨
    rain_cloud(6, True),  # 24 暴雨到大暴雨
    rain_cloud(7, True),  # 25 大暴雨到特大暴雨
    snow_cloud(2),  # 26 小到中雪
    snow_cloud(3),  # 27 中到大雪
    snow_cloud(4, True),  # 28 大到暴雪
    dust(1),  # 29 浮尘
    dust(2),  # 30 扬沙
    dust(3),  # 31 强沙尘暴
]

HEAD = '<?xml version="1.0" encoding="UTF-8"?>\n'


def write(name, width, height, view_box, code, body):
    svg = (
        f"{HEAD}<!-- Weather code {code}, drawn by scripts/draw-weather-icons.py. -->\n"
        f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
        f'width="{width}" height="{height}" viewBox="{view_box}">\n{body}\n</svg>\n'
    )
    (OUT / name).write_text(svg, encoding="utf-8")


def main():
    assert len(CODES) == 32
    for code, body in enumerate(CODES):
        write(f"a{code}.svg", 75, 60, "-7.5 0 75 60", code, body)
        write(f"b{code}.svg", 20, 20, "0 0 60 60", code, body)


if __name__ == "__main__":
    main()
