#!/usr/bin/env bash
# Makes the TIFF fixtures of this folder from small Netpbm pictures, with libtiff's tools
# (tiffcp, tiff2bw, fax2tiff from libtiff-tools), Netpbm's pamtotiff and ImageMagick's convert.
# The Netpbm pictures are the references the tests compare the decoded pixels with. Run it from this
# folder; the output is checked in, so the tests need none of these programs.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# References: 37 x 23 pictures (odd sizes, so rows end inside a byte and need padding).
python3 - <<'PY'
w, h = 37, 23
def write(name, magic, maxval, pixels):
    with open(name, 'wb') as f:
        f.write(b'%s\n%d %d\n' % (magic, w, h))
        if maxval is not None:
            f.write(b'%d\n' % maxval)
        f.write(bytes(pixels))
rgb = []
for y in range(h):
    for x in range(w):
        rgb += [(x * 7) & 255, (y * 11) & 255, (x * y + 40) & 255]
write('rgb.ppm', b'P6', 255, rgb)
write('grey.pgm', b'P5', 255, [(x * 5 + y * 3) & 255 for y in range(h) for x in range(w)])
write('grey4.pgm', b'P5', 15, [(x + y) % 16 for y in range(h) for x in range(w)])
write('grey2.pgm', b'P5', 3, [(x + y) % 4 for y in range(h) for x in range(w)])
colours = [(0, 0, 0), (255, 255, 255), (200, 30, 30), (30, 200, 30), (30, 30, 200), (250, 200, 0),
           (0, 128, 128), (128, 0, 128), (90, 90, 90), (160, 120, 60), (10, 250, 180), (255, 0, 255)]
write('colours12.ppm', b'P6', 255, [c for y in range(h) for x in range(w) for c in colours[(x // 3 + y) % 12]])
two = [(200, 30, 30), (30, 30, 200)]
write('colours2.ppm', b'P6', 255, [c for y in range(h) for x in range(w) for c in two[(x * y) % 3 == 0]])
many = []
for y in range(h):
    for x in range(w):
        many += [((x * y) % 10) * 25, (x % 6) * 50, (y % 4) * 80]
write('colours240.ppm', b'P6', 255, many)
# Black and white: pixel set = black.
rows = []
for y in range(h):
    bits = [1 if ((x * 3 + y * 5) % 7 < 3 or x == y) else 0 for x in range(w)]
    bits += [0] * (-len(bits) % 8)
    rows += [int(''.join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8)]
write('bw.pbm', b'P4', None, rows)
PY

# True colour: strips in every compression the codec knows of, and the ones it refuses.
pamtotiff -quiet -truecolor -none -rowsperstrip=5 rgb.ppm >rgb-none.tif
pamtotiff -quiet -truecolor -packbits rgb.ppm >rgb-packbits.tif
pamtotiff -quiet -truecolor -flate -predictor=2 rgb.ppm >rgb-flate-predictor.tif
pamtotiff -quiet -truecolor -adobeflate rgb.ppm >rgb-adobeflate.tif
pamtotiff -quiet -truecolor -lzw rgb.ppm >rgb-lzw.tif
tiffcp -t -w 16 -l 16 rgb-none.tif rgb-tiled.tif
tiffcp -p separate rgb-none.tif rgb-planar.tif
tiffcp -c jpeg:90 -r 16 rgb-none.tif rgb-jpeg.tif
convert rgb-jpeg.tif -strip rgb-jpeg.ppm
tiffcp -t -w 32 -l 32 -c jpeg:90 rgb-none.tif rgb-jpeg-tiled.tif
convert rgb-jpeg-tiled.tif -strip rgb-jpeg-tiled.ppm
convert rgb.ppm -depth 16 -compress none rgb16.tif
convert rgb.ppm -alpha set -channel A -evaluate set 50% +channel -compress none rgba.tif
convert rgb.ppm -colorspace CMYK -compress none cmyk.tif

# Greys: both photometric interpretations, 4 bits, and the depths that are refused.
pamtotiff -quiet -minisblack -none grey.pgm >grey8.tif
pamtotiff -quiet -miniswhite -none grey.pgm >grey8-miniswhite.tif
tiffcp -c jpeg:95 -r 16 grey8-miniswhite.tif grey8-miniswhite-jpeg.tif
convert grey8-miniswhite-jpeg.tif -strip grey8-miniswhite-jpeg.pgm
pamtotiff -quiet -none grey4.pgm >grey4.tif
pamtotiff -quiet -none grey2.pgm >grey2.tif
convert grey.pgm -depth 16 -compress none grey16.tif
tiff2bw rgb-none.tif grey-tiff2bw.tif
convert grey-tiff2bw.tif -strip grey-tiff2bw.pgm

# Black and white: both photometric interpretations, tiles, and the fax compressions.
pamtotiff -quiet -miniswhite -none bw.pbm >bw-miniswhite.tif
pamtotiff -quiet -minisblack -none bw.pbm >bw-minisblack.tif
tiffcp -t -w 16 -l 16 bw-miniswhite.tif bw-miniswhite-tiled.tif
pamtotiff -quiet -g3 bw.pbm >bw-g3.tif
pamtotiff -quiet -g3 -2d bw.pbm >bw-g3-2d.tif
pamtotiff -quiet -g4 bw.pbm >bw-g4.tif
tiffcp -c g4 bw-minisblack.tif bw-g4-minisblack.tif
# Raw fax data (the strip of a 1-D Group 3 file) wrapped again by fax2tiff.
python3 - "$tmp/bw.g3" <<'PY'
import struct, sys
data = open('bw-g3.tif', 'rb').read()
order = '<' if data[:2] == b'II' else '>'
offset = struct.unpack(order + 'I', data[4:8])[0]
count = struct.unpack(order + 'H', data[offset:offset + 2])[0]
fields = {}
for i in range(count):
    tag, kind, n, value = struct.unpack(order + 'HHII', data[offset + 2 + 12 * i:offset + 14 + 12 * i])
    if kind == 3 and n == 1:
        value = struct.unpack(order + 'H', data[offset + 10 + 12 * i:offset + 12 + 12 * i])[0]
    fields[tag] = (n, value)
def values(tag):
    n, value = fields[tag]
    if n == 1:
        return [value]
    return list(struct.unpack(order + '%dI' % n, data[value:value + 4 * n]))
strips = b''.join(data[o:o + c] for o, c in zip(values(273), values(279)))
open(sys.argv[1], 'wb').write(strips)
PY
fax2tiff -1 -X 37 -M -o bw-fax2tiff.tif "$tmp/bw.g3" 2>/dev/null

# Palettes of 1, 4 and 8 bits.
pamtotiff -quiet -none -indexbits=1 colours2.ppm >palette1.tif
pamtotiff -quiet -none -indexbits=4 colours12.ppm >palette4.tif
pamtotiff -quiet -packbits -indexbits=8 colours240.ppm >palette8.tif

# Three pages of different kinds.
tiffcp rgb-none.tif grey8.tif bw-g4.tif multipage.tif
