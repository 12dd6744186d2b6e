#!/usr/bin/env python3
"""Writes the small pictures used by the picture tests and the fuzz seeds.

car.emf / car.wmf: a red body, a blue window and two black wheels on a 120 x 60 picture,
written here byte by byte. car.bmp, car.jpg, cmyk.jpg, car.ico: made with ImageMagick's convert.
truncated.*: the same files cut short (the JPEG inside its scan data); damaged.jpg: a JPEG
whose frame header is broken; notapicture.bmp: text.
"""
import struct
import subprocess
import sys
from pathlib import Path


def emf_record(kind, payload=b""):
    return struct.pack("<II", kind, 8 + len(payload)) + payload


def rgb(r, g, b):
    return r | (g << 8) | (b << 16)


def make_emf(width=120, height=60):
    body = b""
    # EMR_CREATEBRUSHINDIRECT (39): ihBrush, style, color, hatch
    body += emf_record(39, struct.pack("<IIII", 1, 0, rgb(200, 30, 30), 0))
    body += emf_record(37, struct.pack("<I", 1))                       # EMR_SELECTOBJECT
    body += emf_record(43, struct.pack("<iiii", 5, 15, 115, 45))       # EMR_RECTANGLE
    body += emf_record(39, struct.pack("<IIII", 2, 0, rgb(80, 140, 230), 0))
    body += emf_record(37, struct.pack("<I", 2))
    body += emf_record(43, struct.pack("<iiii", 30, 5, 80, 20))
    body += emf_record(39, struct.pack("<IIII", 3, 0, rgb(0, 0, 0), 0))
    body += emf_record(37, struct.pack("<I", 3))
    body += emf_record(42, struct.pack("<iiii", 15, 38, 37, 60))       # EMR_ELLIPSE
    body += emf_record(42, struct.pack("<iiii", 83, 38, 105, 60))
    body += emf_record(40, struct.pack("<I", 1))                       # EMR_DELETEOBJECT
    eof = emf_record(14, struct.pack("<III", 0, 16, 20))               # EMR_EOF
    records = 12 + 1
    header_size = 108
    total = header_size + len(body) + len(eof)
    header = struct.pack(
        "<II iiii iiii IIII HH III ii ii IIi ii",
        1, header_size,
        0, 0, width - 1, height - 1,                  # bounds (device units)
        0, 0, width * 2646 // 100, height * 2646 // 100,  # frame (.01 mm at 96 dpi)
        0x464D4520, 0x10000, total, records, 4, 0,   # " EMF", version, bytes, records, handles
        0, 0, 0,                                       # description, palette
        1024, 768, 271, 203,                           # reference device in pixels and mm
        0, 0, 0,                                       # pixel format, OpenGL
        271000, 203000)                                # micrometres
    assert len(header) == header_size
    return header + body + eof


def make_emf_text(width=160, height=60):
    """A pen, a font, a polygon and a line of text: the seed that reaches the text code."""
    body = b""
    body += emf_record(38, struct.pack("<IIiiI", 1, 0, 2, 0, rgb(0, 90, 0)))          # EMR_CREATEPEN
    body += emf_record(37, struct.pack("<I", 1))
    pts = [(5, 50), (80, 5), (155, 50)]
    body += emf_record(86, struct.pack("<iiiiI", 5, 5, 155, 50, len(pts))
                       + b"".join(struct.pack("<hh", x, y) for x, y in pts))        # EMR_POLYGON16
    face = "Arial".encode("utf-16-le").ljust(64, b"\0")
    logfont = struct.pack("<iiiii8B", -16, 0, 0, 0, 700, 0, 0, 0, 1, 0, 0, 0, 0) + face
    body += emf_record(82, struct.pack("<I", 2) + logfont)                          # EXTCREATEFONTINDIRECTW
    body += emf_record(37, struct.pack("<I", 2))
    text = "Évry"
    chars = text.encode("utf-16-le")
    n = len(text)
    off_string = 76
    off_dx = off_string + ((len(chars) + 3) // 4) * 4
    emrtext = struct.pack("<iiIIIiiiiI", 40, 30, n, off_string, 0, 0, 0, -1, -1, off_dx)
    payload = struct.pack("<iiiiIff", 40, 20, 120, 40, 1, 1.0, 1.0) + emrtext
    payload += chars.ljust(off_dx - off_string, b"\0") + struct.pack("<%dI" % n, *([10] * n))
    body += emf_record(84, payload)                                                 # EMR_EXTTEXTOUTW
    eof = emf_record(14, struct.pack("<III", 0, 16, 20))
    total = 108 + len(body) + len(eof)
    header = struct.pack(
        "<II iiii iiii IIII HH III ii ii IIi ii",
        1, 108, 0, 0, width - 1, height - 1, 0, 0, width * 2646 // 100, height * 2646 // 100,
        0x464D4520, 0x10000, total, 8, 3, 0, 0, 0, 0, 1024, 768, 271, 203, 0, 0, 0, 271000, 203000)
    return header + body + eof


def make_wmf_text(width=160, height=60):
    """A pen, a font, a polygon and a line of text, without the placeable header."""
    recs = b""
    recs += wmf_record(0x020B, 0, 0)
    recs += wmf_record(0x020C, height, width)
    green = rgb(0, 90, 0)
    recs += wmf_record(0x02FA, 0, 2, 0, green & 0xFFFF, green >> 16)               # CREATEPENINDIRECT
    recs += wmf_record(0x012D, 0)
    pts = [5, 50, 80, 5, 155, 50]
    recs += wmf_record(0x0324, 3, *pts)                                            # POLYGON
    face = b"Arial".ljust(32, b"\0")
    facewords = struct.unpack("<16H", face)
    recs += wmf_record(0x02FB, -16, 0, 0, 0, 700, 0, 0, 0, 0, *facewords)          # CREATEFONTINDIRECT
    recs += wmf_record(0x012D, 1)
    text = "Evry".encode("cp1252")
    recs += wmf_record(0x0521, len(text), *struct.unpack("<%dH" % (len(text) // 2), text), 30, 40)  # TEXTOUT
    recs += wmf_record(0x0000)
    meta = struct.pack("<HHHIHIH", 1, 9, 0x0300, (18 + len(recs)) // 2, 2, 32, 0)
    return meta + recs


def wmf_record(function, *words):
    return struct.pack("<IH", 3 + len(words), function) + struct.pack("<%dH" % len(words), *(w & 0xFFFF for w in words))


def make_wmf(width=120, height=60):
    recs = b""
    recs += wmf_record(0x0103, 8)                           # SETMAPMODE MM_ANISOTROPIC
    recs += wmf_record(0x020B, 0, 0)                        # SETWINDOWORG y, x
    recs += wmf_record(0x020C, height, width)               # SETWINDOWEXT y, x
    red, blue = rgb(200, 30, 30), rgb(80, 140, 230)
    recs += wmf_record(0x02FC, 0, red & 0xFFFF, red >> 16, 0)    # CREATEBRUSHINDIRECT
    recs += wmf_record(0x012D, 0)                           # SELECTOBJECT
    recs += wmf_record(0x041B, 45, 115, 15, 5)              # RECTANGLE bottom right top left
    recs += wmf_record(0x01F0, 0)                           # DELETEOBJECT
    recs += wmf_record(0x02FC, 0, blue & 0xFFFF, blue >> 16, 0)
    recs += wmf_record(0x012D, 0)
    recs += wmf_record(0x041B, 20, 80, 5, 30)
    recs += wmf_record(0x01F0, 0)
    recs += wmf_record(0x02FC, 0, 0, 0, 0)
    recs += wmf_record(0x012D, 0)
    recs += wmf_record(0x0418, 60, 37, 38, 15)              # ELLIPSE
    recs += wmf_record(0x0418, 60, 105, 38, 83)
    recs += wmf_record(0x01F0, 0)
    recs += wmf_record(0x0000)                              # EOF
    max_record = 6
    size_words = (18 + len(recs)) // 2
    meta = struct.pack("<HHHIHIH", 1, 9, 0x0300, size_words, 1, max_record, 0)
    words = struct.unpack("<10H", struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, width, height, 96, 0))
    checksum = 0
    for w in words:
        checksum ^= w
    placeable = struct.pack("<IHhhhhHIH", 0x9AC6CDD7, 0, 0, 0, width, height, 96, 0, checksum)
    return placeable + meta + recs


def make_rasters(out):
    def convert(*args):
        subprocess.run(["convert", *args], check=True, cwd=out)
    convert("-size", "48x32", "gradient:red-blue", "-fill", "yellow", "-draw", "circle 24,16 24,6",
            "-type", "truecolor", "BMP3:car.bmp")
    convert("-size", "64x48", "gradient:green-white", "-fill", "red", "-draw", "rectangle 10,10 50,30",
            "-quality", "85", "car.jpg")
    convert("-size", "16x16", "xc:red", "-colorspace", "CMYK", "-quality", "90", "cmyk.jpg")
    convert("-size", "32x32", "xc:navy", "-fill", "orange", "-draw", "circle 16,16 16,4",
            "(", "-size", "16x16", "xc:navy", "-fill", "orange", "-draw", "circle 8,8 8,2", ")", "car.ico")


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    emf, wmf = make_emf(), make_wmf()
    (out / "car.emf").write_bytes(emf)
    (out / "car.wmf").write_bytes(wmf)
    (out / "truncated.emf").write_bytes(emf[: len(emf) // 2])
    (out / "truncated.wmf").write_bytes(wmf[: len(wmf) // 2])
    make_rasters(out)
    (out / "text.emf").write_bytes(make_emf_text())
    (out / "text.wmf").write_bytes(make_wmf_text())
    for name in ("car.bmp", "car.ico"):
        data = (out / name).read_bytes()
        (out / name.replace("car", "truncated")).write_bytes(data[: len(data) // 2])
    jpg = (out / "car.jpg").read_bytes()
    scan = jpg.find(b"\xff\xda")
    (out / "truncated.jpg").write_bytes(jpg[: scan + (len(jpg) - scan) * 7 // 10])
    (out / "damaged.jpg").write_bytes(jpg[:2] + b"\xff\xc0\x00\x02" + jpg[6:40])
    (out / "notapicture.bmp").write_bytes(b"Ceci n'est pas une image.\r\n")


if __name__ == "__main__":
    main()
