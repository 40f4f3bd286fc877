#!/usr/bin/env python3
"""Draws the installer's icons and bitmaps with ImageMagick's convert.

Usage: make_pictures.py OUTPUT_FOLDER

Uses the drawing helpers of the panel's picture script (tools/pictures), so both
programs share one look. Bitmap backgrounds are 600 x 410 pixels, the size of the
dialogs after start-up; the places left free match the dialog templates.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "pictures"))
import make_pictures as pics  # noqa: E402

GREEN, DARK_GREEN, ORANGE, RED, GREY = pics.GREEN, pics.DARK_GREEN, pics.ORANGE, pics.RED, pics.GREY
LINK_BLUE = pics.LINK_BLUE
TEXT_GREY = "#646464"


def strip(name, mark):
    """A hover button strip of four 18 x 18 states: normal, pressed, hot, focused."""
    args = ["-size", "72x18", "xc:%s" % GREEN]
    for i, colour in enumerate([DARK_GREEN, ORANGE, ORANGE, DARK_GREEN]):
        x = i * 18
        args += ["-fill", colour, "-stroke", "none", "-draw", "rectangle %d,0 %d,17" % (x, x + 17),
                 "-stroke", "white", "-strokewidth", "2"] + mark(x)
    pics.bitmap(name, args)


def tick(name, ticked):
    args = ["-size", "16x16", "xc:white", "-fill", "white", "-stroke", "#8C8C8C", "-draw", "rectangle 1,1 14,14"]
    if ticked:
        args += ["-fill", "none", "-stroke", GREEN, "-strokewidth", "2", "-draw", "polyline 3.5,8 6.5,11 12.5,4.5"]
    pics.bitmap(name, args)


def band(height):
    """The green head band with the emblem, common to both big dialogs."""
    return (["-size", "600x410", "xc:white", "-fill", GREEN, "-draw", "rectangle 0,0 599,%d" % height,
             "(", ] + pics.shield(64, "white", pics.check_mark, GREEN) + [")", "-geometry", "+40+70", "-composite"]
            + ["-fill", "none", "-stroke", "#D6D6D6", "-draw", "rectangle 0,0 599,409", "-stroke", "none"])


def button_face(x, y, w, h, face, label, size=14):
    return (["-fill", face, "-stroke", "none", "-draw", "roundrectangle %d,%d %d,%d 6,6" % (x, y, x + w - 1, y + h - 1)]
            + pics.text(x + w // 2 - len(label) * size // 2, y + (h - size) // 2 - 3, size, "white", label))


def main():
    pics.OUT = sys.argv[1]
    os.makedirs(pics.OUT, exist_ok=True)

    pics.icon("icon_128", [(16, 16), (32, 32), (48, 48)], lambda w, h: pics.shield(w, GREEN, pics.check_mark))
    pics.button_icon("icon_140", 62, "取消", "#BFBFBF", "#A0A0A0")
    pics.button_icon("icon_141", 62, "确定", GREEN, DARK_GREEN)

    def wide_button(name, width, height, label, size):
        def build(w, h):
            return (["-size", "%dx%d" % (w, h), "xc:none", "-fill", GREEN, "-stroke", DARK_GREEN,
                     "-strokewidth", "1", "-draw", "roundrectangle 1,1 %d,%d 8,8" % (w - 2, h - 2)]
                    + pics.text(0, 0, size, "white", label, "Center"))
        pics.icon(name, [(width, height)], build)

    wide_button("icon_145", 125, 44, "立即安装", 17)
    wide_button("icon_146", 79, 34, "选择..", 13)
    wide_button("icon_154", 132, 43, "打开面板", 17)

    # Message kinds, 24 x 24, on the message box's white.
    pics.round_kind("bitmap_136", GREY, ["-draw", "rectangle 10.5,10 13,19", "-draw", "rectangle 10.5,5 13,7.5"])
    pics.round_kind("bitmap_137", ORANGE, pics.text(0, -1, 15, "white", "?", "Center"))
    pics.round_kind("bitmap_138", RED, ["-fill", "none", "-stroke", "white", "-strokewidth", "2.5",
                                        "-draw", "line 7.5,7.5 16,16", "-draw", "line 16,7.5 7.5,16"])
    pics.round_kind("bitmap_139", ORANGE, ["-draw", "rectangle 10.5,5 13,14", "-draw", "rectangle 10.5,16.5 13,19"])
    pics.round_kind("bitmap_156", GREEN, ["-fill", "none", "-stroke", "white", "-strokewidth", "2.5",
                                          "-draw", "polyline 6.5,12 10,15.5 17,8"])

    strip("bitmap_142", lambda x: ["-draw", "line %d,5 %d,12" % (x + 5, x + 12),
                                   "-draw", "line %d,5 %d,12" % (x + 12, x + 5)])
    strip("bitmap_147", lambda x: ["-draw", "line %d,12 %d,12" % (x + 5, x + 12)])
    tick("bitmap_148", True)
    tick("bitmap_149", False)
    tick("bitmap_150", True)
    tick("bitmap_151", False)

    # Setup window: the band, the welcome line, the path row, the tick-box captions.
    setup = band(200)
    setup += pics.text(120, 78, 24, "white", "欢迎使用 Orm·防入侵集群系统")
    setup += pics.text(120, 130, 13, "white", "集群控制台 · 版本")
    setup += pics.text(40, 244, 14, "#000000", "安装到：")
    setup += ["-fill", "white", "-stroke", "#BFBFBF", "-draw", "rectangle 108,236 451,267", "-stroke", "none"]
    setup += pics.text(62, 371, 12, "#000000", "创建桌面快捷方式")
    setup += pics.text(232, 371, 12, "#000000", "我已阅读并同意")
    setup += pics.text(332, 371, 12, LINK_BLUE, "使用许可协议")
    pics.bitmap("bitmap_158", setup)

    # Success window: the band, the result line, the address row and its two buttons.
    succ = band(200)
    succ += pics.text(120, 78, 24, "white", "安装成功")
    succ += pics.text(120, 122, 13, "white", "Orm·防入侵集群系统已就绪，请在浏览器中打开管理面板")
    succ += pics.text(24, 243, 14, "#000000", "管理地址：")
    succ += ["-fill", "white", "-stroke", "#BFBFBF", "-draw", "rectangle 98,234 421,265", "-stroke", "none"]
    succ += button_face(432, 232, 80, 36, "#1890FF", "复制")
    succ += button_face(234, 300, 132, 44, GREEN, "打开面板", 17)
    pics.bitmap("bitmap_159", succ)


if __name__ == "__main__":
    main()
