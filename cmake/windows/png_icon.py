#!/usr/bin/env python3
"""Writes a Windows icon (.ico) that holds the given square PNG pictures as they are, one
image per size, which Windows since Vista shows. Usage: png_icon.py OUT.ico PNG..."""
import struct
import sys


def main():
    out, pngs = sys.argv[1], [open(p, "rb").read() for p in sys.argv[2:]]
    header = struct.pack("<HHH", 0, 1, len(pngs))
    offset = len(header) + 16 * len(pngs)
    entries, images = b"", b""
    for png in pngs:
        if png[:8] != b"\x89PNG\r\n\x1a\n":
            sys.exit(f"not a PNG picture: {png[:8]!r}")
        width, height = struct.unpack(">II", png[16:24])
        # Sizes of 256 are written as 0 in the byte each has.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                               len(png), offset + len(images))
        images += png
    with open(out, "wb") as f:
        f.write(header + entries + images)


if __name__ == "__main__":
    main()
