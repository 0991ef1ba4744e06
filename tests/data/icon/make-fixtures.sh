#!/usr/bin/env bash
# Regenerates the icon fixtures of this folder (run by hand; the tests only read the results).
# Icons are written by ImageMagick and Pillow; every reference PNG is Pillow's own decoding of an
# icon, so the tests compare our reader with an independent one. Needs imagemagick, python3-pil.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 - "$work" <<'PY'
import sys
from PIL import Image
work = sys.argv[1]
def picture(size, inside, color):
    im = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    for y in range(size):
        for x in range(size):
            if inside(x, y):
                im.putpixel((x, y), color(x, y) + (255,))
    return im
# 48 x 48, transparent around a 32 x 32 gradient.
picture(48, lambda x, y: 8 <= x < 40 and 8 <= y < 40,
        lambda x, y: ((x * 5) & 255, (y * 5) & 255, 128)).save(f"{work}/src48.png")
# 32 x 32 with 10 colours in 4 x 4 blocks and a transparent border.
ten = [(255,0,0),(0,255,0),(0,0,255),(255,255,0),(0,255,255),(255,0,255),(128,0,0),(0,128,0),(0,0,128),(128,128,0)]
picture(32, lambda x, y: 4 <= x < 28 and 4 <= y < 28,
        lambda x, y: ten[(x // 4 + y // 4) % 10]).save(f"{work}/src16.png")
# 32 x 32 with 75 colours and an uneven transparent border.
picture(32, lambda x, y: 3 <= x < 29 and 5 <= y < 30,
        lambda x, y: ((((x + 2 * y) % 100) * 37) % 256, (((x + 2 * y) % 100) * 91) % 256,
                      (((x + 2 * y) % 100) * 13) % 256)).save(f"{work}/src100.png")
# Black and white stripes.
Image.open(f"{work}/src16.png").convert("L").point(lambda v: 255 if v > 60 else 0).save(f"{work}/src2.png")
src48 = Image.open(f"{work}/src48.png")
src100 = Image.open(f"{work}/src100.png")
src48.save("png.ico", sizes=[(16, 16), (48, 48), (32, 32)])            # PNG entries
Image.open(f"{work}/src2.png").convert("1").save("pal1.ico", bitmap_format="bmp", sizes=[(32, 32)])
src100.convert("RGB").save("rgb24.ico", bitmap_format="bmp", sizes=[(32, 32)])          # 24 bits, opaque mask
src100.save("nomask32.ico", bitmap_format="bmp", sizes=[(32, 32)])                      # 32 bits, no AND mask
PY
convert "$work/src48.png" -define icon:auto-resize=16,48,32 multi.ico    # 32-bit entries with masks
convert "$work/src16.png" -type PaletteAlpha pal4-mask.ico               # 4 bits + AND mask
convert "$work/src100.png" -type PaletteAlpha pal8-mask.ico              # 8 bits + AND mask
convert "$work/src100.png" argb32.ico                                    # 32 bits with alpha
/usr/bin/python3 - <<'PY'
import struct
from PIL import Image
# One file holding five 32 x 32 images of every depth, the 32-bit one in the middle.
entries = []
for name in ["pal1.ico", "pal4-mask.ico", "argb32.ico", "pal8-mask.ico", "rgb24.ico"]:
    data = open(name, "rb").read()
    w, h, colors, reserved, planes, bits, size, offset = struct.unpack("<BBBBHHII", data[6:22])
    entries.append((data[6:18], data[offset:offset + size]))
out = struct.pack("<HHH", 0, 1, len(entries))
offset = 6 + 16 * len(entries)
for head, body in entries:
    out += head + struct.pack("<I", offset)
    offset += len(body)
open("depths.ico", "wb").write(out + b"".join(body for _, body in entries))
# References: Pillow's decoding (the largest image of a file).
for name in ["png", "pal1", "rgb24", "nomask32", "multi", "pal4-mask", "pal8-mask", "argb32"]:
    Image.open(name + ".ico").convert("RGBA").save(name + ".png")
PY
