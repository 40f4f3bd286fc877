#!/usr/bin/env python3
"""Draws the panel's icons and bitmaps with ImageMagick's convert.

Usage: make_pictures.py OUTPUT_FOLDER

Every picture is described below as convert drawing commands, so a change is an edit
of this file; the build runs it and the resource script picks the files up by name.
Bitmaps are written as 24-bit BMP (BMP3), icons as 32-bit ICO with alpha.
"""
import os
import subprocess
import sys

FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
GREEN = "#52C41A"        # the product green, also the tray menu's selection colour
DARK_GREEN = "#389E0D"
ORANGE = "#FA8C16"
RED = "#F5222D"
GREY = "#8C8C8C"
LINK_BLUE = "#233CFF"

OUT = ""


def run(args):
    subprocess.run(["convert"] + args, check=True)


def out(name):
    return os.path.join(OUT, name)


def text(x, y, size, colour, words, gravity="NorthWest"):
    return ["-gravity", gravity, "-font", FONT, "-pointsize", str(size), "-fill", colour, "-stroke", "none",
            "-annotate", "+%d+%d" % (x, y), words, "-gravity", "NorthWest"]


def shield(size, colour, mark=None, mark_colour="white"):
    """A shield emblem of `size` pixels on a transparent square, as drawing arguments."""
    s = size
    points = "%f,%f %f,%f %f,%f %f,%f %f,%f" % (
        s * 0.5, s * 0.04, s * 0.92, s * 0.2, s * 0.85, s * 0.62, s * 0.5, s * 0.96, s * 0.15, s * 0.62)
    points2 = "%f,%f %f,%f %f,%f %f,%f" % (s * 0.15, s * 0.62, s * 0.08, s * 0.2, s * 0.5, s * 0.04, s * 0.5, s * 0.96)
    args = ["-size", "%dx%d" % (s, s), "xc:none", "-fill", colour, "-stroke", "none",
            "-draw", "polygon " + points, "-draw", "polygon " + points2]
    if mark:
        args += ["-fill", mark_colour, "-stroke", "none"] + mark(s)
    return args


def check_mark(s):
    w = max(1.0, s / 9.0)
    return ["-fill", "none", "-stroke", "white", "-strokewidth", "%f" % w,
            "-draw", "polyline %f,%f %f,%f %f,%f" % (s * 0.3, s * 0.5, s * 0.45, s * 0.66, s * 0.72, s * 0.34)]


def bang(s):
    return ["-draw", "rectangle %f,%f %f,%f" % (s * 0.44, s * 0.22, s * 0.56, s * 0.6),
            "-draw", "rectangle %f,%f %f,%f" % (s * 0.44, s * 0.68, s * 0.56, s * 0.8)]


def bar(s):
    return ["-draw", "rectangle %f,%f %f,%f" % (s * 0.3, s * 0.44, s * 0.7, s * 0.56)]


def icon(name, sizes, build):
    """An ICO holding one image per size; build(w, h) gives the convert arguments."""
    parts = []
    for w, h in sizes:
        part = out("%s_%dx%d.png" % (name, w, h))
        run(build(w, h) + ["-depth", "8", "PNG32:" + part])
        parts.append(part)
    run(parts + [out(name + ".ico")])
    for part in parts:
        os.remove(part)


def bitmap(name, args):
    run(args + ["-alpha", "off", "-type", "TrueColor", "BMP3:" + out(name + ".bmp")])


def small_icon(name, draw):
    icon(name, [(16, 16)], lambda w, h: ["-size", "16x16", "xc:none", "-stroke", "none"] + draw)


def button_icon(name, width, label, face, edge):
    def build(w, h):
        return (["-size", "%dx%d" % (w, h), "xc:none", "-fill", face, "-stroke", edge, "-strokewidth", "1",
                 "-draw", "roundrectangle 1,1 %d,%d 6,6" % (w - 2, h - 2)]
                + text(0, 0, 13, "white", label, "Center"))
    icon(name, [(width, 34)], build)


def round_kind(name, colour, mark):
    bitmap(name, ["-size", "24x24", "xc:white", "-fill", colour, "-stroke", "none",
                  "-draw", "circle 11.5,11.5 11.5,0.5", "-fill", "white"] + mark)


def main():
    global OUT
    OUT = sys.argv[1]
    os.makedirs(OUT, exist_ok=True)

    # Program and window icon: the green shield with a tick.
    icon("icon_128", [(16, 16), (32, 32), (48, 48)], lambda w, h: shield(w, GREEN, check_mark))
    # Tray: on and normal, turned off, abnormal or engine unreachable.
    icon("icon_134", [(16, 16), (32, 32)], lambda w, h: shield(w, GREEN, check_mark))
    icon("icon_135", [(16, 16), (32, 32)], lambda w, h: shield(w, GREY, bar))
    icon("icon_136", [(16, 16), (32, 32)], lambda w, h: shield(w, RED, bang))

    # Menu items, 16 x 16.
    small_icon("icon_138", ["-fill", "none", "-stroke", GREEN, "-strokewidth", "1.5",
                            "-draw", "circle 8,8 8,1.5", "-draw", "ellipse 8,8 3,6.5 0,360",
                            "-draw", "line 1.5,8 14.5,8"])                                   # open panel: globe
    small_icon("icon_139", ["-fill", GREEN, "-draw", "circle 8,8 8,1",
                            "-fill", "white", "-draw", "circle 8,8 8,5"])                   # access settings
    small_icon("icon_140", ["-fill", GREEN, "-draw", "circle 6,5 6,2", "-draw", "ellipse 6,13 5,4 180,360",
                            "-draw", "rectangle 11,8 15,9", "-draw", "rectangle 12.5,6.5 13.5,10.5"])  # add admin
    small_icon("icon_141", ["-fill", GREEN, "-draw", "rectangle 3,6 13,13",
                            "-draw", "rectangle 5,2 6,6", "-draw", "rectangle 10,2 11,6"])  # port: plug
    small_icon("icon_142", ["-fill", "none", "-stroke", RED, "-strokewidth", "2",
                            "-draw", "arc 2,3 14,15 -60,240", "-draw", "line 8,1 8,8"])     # quit: power
    small_icon("icon_143", ["-fill", ORANGE, "-draw", "polygon 3,13 10,6 11,7 4,14",
                            "-draw", "circle 11,5 11,2", "-fill", "none", "-draw", "circle 12,4 12,3"])  # repair
    small_icon("icon_144", ["-fill", "#1890FF", "-draw", "circle 8,8 8,1", "-fill", "white",
                            "-draw", "rectangle 7,7 9,12", "-draw", "rectangle 7,4 9,5"])    # information
    small_icon("icon_145", ["-fill", GREEN, "-draw", "circle 8,8 8,1", "-fill", "white",
                            "-draw", "polygon 6,4 12,8 6,12"])                                # turn on
    small_icon("icon_146", ["-fill", RED, "-draw", "circle 8,8 8,1", "-fill", "white",
                            "-draw", "rectangle 5,5 11,11"])                                  # turn off

    # Dialog buttons: OK, Cancel (62 x 34) and copy (86 x 34).
    button_icon("icon_154", 62, "确定", GREEN, DARK_GREEN)
    button_icon("icon_155", 62, "取消", "#BFBFBF", "#A0A0A0")
    button_icon("icon_156", 86, "复制", "#1890FF", "#096DD9")

    # Message kinds, 24 x 24.
    round_kind("bitmap_166", GREEN, ["-fill", "none", "-stroke", "white", "-strokewidth", "2.5",
                                     "-draw", "polyline 6.5,12 10,15.5 17,8"])
    round_kind("bitmap_160", ORANGE, ["-draw", "rectangle 10.5,5 13,14", "-draw", "rectangle 10.5,16.5 13,19"])
    round_kind("bitmap_157", RED, ["-fill", "none", "-stroke", "white", "-strokewidth", "2.5",
                                   "-draw", "line 7.5,7.5 16,16", "-draw", "line 16,7.5 7.5,16"])
    round_kind("bitmap_159", ORANGE, text(0, -1, 15, "white", "?", "Center"))
    round_kind("bitmap_158", GREY, ["-draw", "rectangle 10.5,10 13,19", "-draw", "rectangle 10.5,5 13,7.5"])

    # Check box of the quit dialog: empty, and with a green tick.
    bitmap("bitmap_164", ["-size", "16x16", "xc:white", "-fill", "white", "-stroke", "#8C8C8C",
                          "-draw", "rectangle 1,1 14,14"])
    bitmap("bitmap_165", ["-size", "16x16", "xc:white", "-fill", "white", "-stroke", "#8C8C8C",
                          "-draw", "rectangle 1,1 14,14", "-fill", "none", "-stroke", GREEN, "-strokewidth", "2",
                          "-draw", "polyline 3.5,8 6.5,11 12.5,4.5"])

    # Close button strip: normal (green), pressed (orange), hot (orange), focused (green).
    strip = ["-size", "72x18", "xc:white"]
    for i, colour in enumerate([GREEN, ORANGE, ORANGE, GREEN]):
        x = i * 18
        strip += ["-fill", colour, "-stroke", "none", "-draw", "rectangle %d,0 %d,17" % (x, x + 17),
                  "-stroke", "white", "-strokewidth", "2",
                  "-draw", "line %d,5 %d,12" % (x + 5, x + 12), "-draw", "line %d,5 %d,12" % (x + 12, x + 5)]
    bitmap("bitmap_161", strip)

    # Main window background, 402 x 252: green band with the emblem and product name.
    bitmap("bitmap_148", ["-size", "402x252", "gradient:%s-%s" % (GREEN, DARK_GREEN),
                          "(", ] + shield(72, "white") + [")", "-geometry", "+165+50", "-composite"]
           + text(0, 70, 20, "white", "Orm·防入侵集群系统", "Center"))

    # Information dialog background, 802 x 507: title band, left column with labels,
    # dotted lines between the rows. Rows line up with the template scaled to 802 x 510.
    rows = [("软件版本", 105), ("管理面板(外网)", 335), ("管理面板(内网)", 393), ("软件安装路径", 451)]
    info = ["-size", "802x507", "xc:white",
            "-fill", GREEN, "-draw", "rectangle 0,0 801,54",
            "(", ] + shield(34, "white") + [")", "-geometry", "+10+10", "-composite",
            "-fill", "#F4F7F2", "-draw", "rectangle 0,55 200,506",
            "-fill", "#F6FFED", "-draw", "rectangle 217,140 780,300"]
    info += text(0, -40, 22, DARK_GREEN, "Orm·防入侵集群系统", "Center")
    info += text(0, 0, 12, GREY, "集群控制台 · 本机管理面板", "Center")
    for label, y in rows:
        info += text(24, y - 9, 12, "#333333", label)
        info += ["-stroke", "#D9D9D9", "-strokewidth", "1", "-draw",
                 "stroke-dasharray 2 3 line 10,%d 790,%d" % (y + 24, y + 24), "-stroke", "none"]
    info += ["-fill", "none", "-stroke", "#D6D6D6", "-draw", "rectangle 0,0 801,506"]
    bitmap("bitmap_152", info)

    # Authorization-code dialog background, 482 x 330: title band with the emblem, the
    # label with a green key left of a light-framed box that the edit field covers
    # (the field sits at 138,189 to 412,213 once the template is scaled to 482 x 330).
    key = ["-fill", GREEN, "-stroke", "none", "-draw", "circle 48,201 48,193",
           "-fill", "white", "-draw", "circle 48,201 48,198",
           "-fill", GREEN, "-draw", "rectangle 54,199 74,203",
           "-draw", "rectangle 66,203 69,208", "-draw", "rectangle 71,203 74,207"]
    add_user = ["-size", "482x330", "xc:white",
                "-fill", GREEN, "-draw", "rectangle 0,0 481,54",
                "(", ] + shield(34, "white") + [")", "-geometry", "+8+10", "-composite"]
    add_user += key + text(80, 191, 13, "#333333", "授权码")
    add_user += ["-fill", "white", "-stroke", "#D9D9D9", "-strokewidth", "1",
                 "-draw", "rectangle 134,186 415,216", "-stroke", "none"]
    add_user += ["-fill", "none", "-stroke", "#D6D6D6", "-draw", "rectangle 0,0 481,329"]
    bitmap("bitmap_150", add_user)


    draw_access_and_port_backgrounds()


def draw_access_and_port_backgrounds():
    """Backgrounds of the access settings (149) and change-port (151) dialogs."""
    # Access settings, 617 x 420 under a 617 x 442 window: the pattern brush repeats
    # the picture's top rows below it, so the title band's first rows close the window
    # as a green footer under the light button band. Rows line up with the template
    # scaled to 617 x 442 (1.625 pixels per dialog unit downwards).
    access = ["-size", "617x420", "xc:white",
              "-fill", GREEN, "-draw", "rectangle 0,0 616,59",
              "(", ] + shield(36, "white") + [")", "-geometry", "+8+12", "-composite",
              "-fill", "#F4F7F2", "-draw", "rectangle 0,60 150,374",
              "-fill", "#F5F5F5", "-draw", "rectangle 0,375 616,419",
              "-stroke", "#D9D9D9", "-strokewidth", "1", "-draw", "line 0,375 616,375", "-stroke", "none"]
    for label, y in [("本机地址", 130), ("外网地址", 221), ("其他设置", 308)]:
        access += text(30, y - 9, 12, "#333333", label)
    for y in [178, 266, 352]:
        access += ["-stroke", "#D9D9D9", "-strokewidth", "1", "-draw",
                   "stroke-dasharray 2 3 line 10,%d 606,%d" % (y, y), "-stroke", "none"]
    bitmap("bitmap_149", access)

    # Change port, 482 x 338: title band, the hint box with an orange exclamation
    # mark, and the port label with a green plug left of the edit field (196 to 219).
    port = ["-size", "482x338", "xc:white",
            "-fill", GREEN, "-draw", "rectangle 0,0 481,59",
            "(", ] + shield(36, "white") + [")", "-geometry", "+8+12", "-composite",
            "-fill", "#FFF7E6", "-stroke", "#FFD591", "-strokewidth", "1",
            "-draw", "roundrectangle 30,86 451,124 4,4", "-stroke", "none",
            "-fill", ORANGE, "-draw", "circle 49,105 49,97", "-fill", "white",
            "-draw", "rectangle 48,100 50,106", "-draw", "rectangle 48,108 50,110"]
    port += text(64, 96, 12, "#8C5A00", "输入面板端口，请确保该端口未被使用且防火墙开启")
    port += ["-fill", GREEN, "-draw", "rectangle 50,203 62,213",
             "-draw", "rectangle 52,197 54,203", "-draw", "rectangle 58,197 60,203",
             "-draw", "rectangle 55,213 57,219"]
    port += text(68, 198, 12, "#333333", "端口号")
    port += ["-fill", "none", "-stroke", "#D6D6D6", "-draw", "rectangle 0,0 481,337"]
    bitmap("bitmap_151", port)

if __name__ == "__main__":
    main()
