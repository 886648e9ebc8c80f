#!/usr/bin/env python3
"""Regenerates the BMP fixtures of this folder and their reference pixels.

Plain bitmaps are written by ffmpeg's BMP encoder from its test pattern. The
variants ffmpeg does not write (4 bits, RLE8, RLE4, the 12-byte core header,
108- and 124-byte headers, top-down rows) are assembled here from ffmpeg's own
output. Every fixture is then decoded by ffmpeg into NAME.rgb (rgb24, rows
top to bottom): the reference the reader's pixels are compared with.

Run from anywhere: python3 make_fixtures.py (needs ffmpeg on the PATH).
"""

import os
import struct
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def ffmpeg_bmp(pix_fmt, width, height):
    """ffmpeg's test pattern cropped to width x height, as a BMP file."""
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "x.bmp")
        subprocess.run(
            ["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
             "testsrc2=size=64x32:rate=1", "-frames:v", "1",
             "-vf", f"format=rgb24,crop={width}:{height}:3:5", "-pix_fmt", pix_fmt, out],
            check=True)
        with open(out, "rb") as f:
            return f.read()


def parse(data):
    """(width, height, bits, palette entries as 4-byte strings, pixel rows in file order)."""
    offset = struct.unpack_from("<I", data, 10)[0]
    header_size, width, height, _, bits = struct.unpack_from("<IiiHH", data, 14)
    row = (width * bits + 31) // 32 * 4
    palette = [data[14 + header_size + 4 * i:14 + header_size + 4 * i + 4]
               for i in range((offset - 14 - header_size) // 4)]
    rows = [data[offset + y * row:offset + (y + 1) * row] for y in range(abs(height))]
    return width, height, bits, palette, rows


def row_size(width, bits):
    return (width * bits + 31) // 32 * 4


def info_header(width, height, bits, compression, image_size, colours, size=40):
    header = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression,
                         image_size, 2835, 2835, colours, 0)
    return header + bytes(size - 40) if size > 40 else header


def bmp_file(header, palette, pixels):
    offset = 14 + len(header) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + palette + pixels


def pack4(indices, width):
    """One row of 4-bit indices, high nibble first, padded to 4 bytes."""
    out = bytearray(row_size(width, 4))
    for x, v in enumerate(indices):
        out[x // 2] |= v << 4 if x % 2 == 0 else v
    return bytes(out)


def rle8(rows, width):
    """RLE8 with runs, literals, in-row deltas over runs of index 0, EOL and EOB."""
    out = bytearray()
    pending_rows = 0  # rows of nothing but index 0 still to skip
    for y, row in enumerate(rows):
        px = list(row[:width])
        if not any(px):
            pending_rows += 1
            continue
        if pending_rows:
            out += bytes([0, 2, 0, pending_rows])
            pending_rows = 0
        x = 0
        end = width
        while end > 0 and px[end - 1] == 0:
            end -= 1
        while x < end:
            run = 1
            while x + run < end and px[x + run] == px[x] and run < 255:
                run += 1
            if px[x] == 0 and run >= 4:
                out += bytes([0, 2, run, 0])
            elif run >= 3:
                out += bytes([run, px[x]])
            else:
                lit = x
                while lit < end and lit - x < 255:
                    nxt = 1
                    while lit + nxt < end and px[lit + nxt] == px[lit]:
                        nxt += 1
                    if nxt >= 3:
                        break
                    lit += 1
                n = lit - x
                if n >= 3:
                    out += bytes([0, n]) + bytes(px[x:lit]) + (b"\0" if n % 2 else b"")
                else:
                    for v in px[x:x + max(n, 1)]:
                        out += bytes([1, v])
                    n = max(n, 1)
                x += n
                continue
            x += run
        out += bytes([0, 0]) if y < len(rows) - 1 else b""
    return bytes(out) + bytes([0, 1])


def rle4(rows, width):
    """RLE4 with one- and two-colour runs and literals of every length mod 4."""
    out = bytearray()
    for y, row in enumerate(rows):
        px = [(row[x // 2] >> 4) if x % 2 == 0 else (row[x // 2] & 15) for x in range(width)]
        x = 0
        while x < width:
            # a run repeating the pair (a, b)
            run = 2 if x + 1 < width else 1
            while x + run < width and px[x + run] == px[x + run - 2] and run < 255:
                run += 1
            if run >= 4:
                b = px[x + 1]
                out += bytes([run, px[x] << 4 | b])
                x += run
                continue
            n = min(width - x, 3 + (x + y) % 5)  # literal lengths 3..7 in turn
            if n >= 3:
                data = bytearray((n + 1) // 2)
                for i in range(n):
                    data[i // 2] |= px[x + i] << 4 if i % 2 == 0 else px[x + i]
                if len(data) % 2:
                    data += b"\0"
                out += bytes([0, n]) + data
            else:
                for i in range(n):
                    out += bytes([1, px[x + i] << 4])
            x += n
        if y < len(rows) - 1:
            out += bytes([0, 0])
    return bytes(out) + bytes([0, 1])


def write(name, data):
    """NAME.bmp, and ffmpeg's pixels of it: NAME.rgb, and NAME.rgba for 32 bits."""
    path = os.path.join(HERE, name + ".bmp")
    with open(path, "wb") as f:
        f.write(data)
    bits = struct.unpack_from("<H", data, 28 if struct.unpack_from("<I", data, 14)[0] > 12 else 24)[0]
    for fmt in ["rgb24"] + (["rgba"] if bits == 32 else []):
        subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-i", path, "-f", "rawvideo",
                        "-pix_fmt", fmt, os.path.join(HERE, f"{name}.{fmt[:4].rstrip('2')}")],
                       check=True)


def main():
    for fmt, name in [("bgr24", "bgr24"), ("bgra", "bgra"), ("rgb555", "rgb555"),
                      ("rgb565", "rgb565-bitfields"), ("rgb444", "rgb444-bitfields"),
                      ("pal8", "pal8"), ("monob", "monob")]:
        write(name + "-13x7", ffmpeg_bmp(fmt, 13, 7))
    # Widths whose rows need no padding in a movie's colour-mapped (a multiple
    # of 4) and 16-bit (even) bitmaps, which ffmpeg reads without padding.
    for fmt in ["pal8", "rgb555"]:
        write(fmt + "-16x6", ffmpeg_bmp(fmt, 16, 6))
    # 32 bits with the fourth byte 0 everywhere, as most writers leave it.
    bgrx = bytearray(ffmpeg_bmp("bgra", 13, 7))
    bgrx[54 + 3::4] = bytes(len(bgrx[54 + 3::4]))
    write("bgrx-zero-alpha-13x7", bytes(bgrx))

    # 4 bits: ffmpeg's 16-colour pattern stored as nibbles.
    def pal4(width, height):
        w, h, _, palette, rows = parse(ffmpeg_bmp("rgb4_byte", width, height))
        return w, h, b"".join(palette[:16]), [pack4(r[:w], w) for r in rows]

    w, h, palette, rows = pal4(13, 7)
    write("pal4-13x7", bmp_file(info_header(w, h, 4, 0, len(rows) * len(rows[0]), 16),
                                palette, b"".join(rows)))
    # OS/2 core header: 16-bit sides, three-byte palette entries.
    core_palette = b"".join(palette[i:i + 3] for i in range(0, 64, 4))
    write("core-pal4-13x7", bmp_file(struct.pack("<IHHHH", 12, w, h, 1, 4), core_palette,
                                     b"".join(rows)))
    w, h, _, _, rows24 = parse(ffmpeg_bmp("bgr24", 13, 7))
    write("core-bgr24-13x7", bmp_file(struct.pack("<IHHHH", 12, w, h, 1, 24), b"",
                                      b"".join(rows24)))
    write("topdown-bgr24-13x7", bmp_file(info_header(w, -h, 24, 0, 0, 0), b"",
                                         b"".join(reversed(rows24))))

    # 124-byte header, 32 bits in red, green, blue, alpha byte order with a
    # gradient in alpha.
    px = bytearray()
    for y, row in enumerate(rows24):
        for x in range(w):
            b, g, r = row[3 * x:3 * x + 3]
            px += bytes([r, g, b, (x * 19 + y * 7) % 256])
    v5 = bytearray(info_header(w, h, 32, 3, len(px), 0, size=124))
    struct.pack_into("<IIII", v5, 40, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000)
    struct.pack_into("<I", v5, 56, 0x73524742)  # colour space "sRGB"
    write("v5-rgba-bitfields-13x7", bmp_file(bytes(v5), b"", bytes(px)))

    # 108-byte header, 16 bits 5-6-5 (the pixels of ffmpeg's rgb565 file).
    _, _, _, _, rows565 = parse(ffmpeg_bmp("rgb565", 13, 7))
    v4 = bytearray(info_header(w, h, 16, 3, 0, 0, size=108))
    struct.pack_into("<IIII", v4, 40, 0xF800, 0x07E0, 0x001F, 0)
    write("v4-rgb565-bitfields-13x7", bmp_file(bytes(v4), b"", b"".join(rows565)))

    # RLE8 and its uncompressed twin: 29 x 9 with a hole of index 0 inside a
    # row and one all-zero row, so deltas of both kinds occur.
    w, h, _, palette, rows = parse(ffmpeg_bmp("pal8", 29, 9))
    rows = [bytearray(r) for r in rows]
    for x in range(8, 20):
        rows[3][x] = 0
    rows[5][:w] = bytes(w)
    for y in range(h):
        rows[y][w - 3:w] = bytes(3)  # trailing zeros end with an EOL
    used = max(max(r[:w]) for r in rows) + 1
    write("pal8-29x9", bmp_file(info_header(w, h, 8, 0, 0, used), b"".join(palette[:used]),
                                b"".join(bytes(r) for r in rows)))
    packed = rle8(rows, w)
    write("rle8-29x9", bmp_file(info_header(w, h, 8, 1, len(packed), used),
                                b"".join(palette[:used]), packed))

    w, h, palette, rows = pal4(29, 9)
    write("pal4-29x9", bmp_file(info_header(w, h, 4, 0, 0, 16), palette, b"".join(rows)))
    packed = rle4(rows, w)
    write("rle4-29x9", bmp_file(info_header(w, h, 4, 2, len(packed), 16), palette, packed))


if __name__ == "__main__":
    main()
