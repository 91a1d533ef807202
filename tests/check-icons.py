#!/usr/bin/env python3
"""Checks the icons inside a built program: every icon group holds one image
of each size Windows asks for between 100 and 200 % and Explorer's largest
view, and every image is what its group entry says (a PNG that inflates to
that size, or a 32-bit DIB of that size with its mask).

    check-icons.py <program.exe>     prints "100 101: 16 20 ... 256", exits 1 on a fault
"""

import struct
import sys
import zlib

SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
RT_ICON, RT_GROUP_ICON = 3, 14


def resources(pe):
    """{(type id, name id): data} of the first language of each resource."""
    head = struct.unpack_from("<I", pe, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", pe, head + 6)
    optional = head + 24
    dirs = optional + (96 if struct.unpack_from("<H", pe, optional)[0] == 0x10B else 112)
    root_rva = struct.unpack_from("<I", pe, dirs + 2 * 8)[0]

    def offset(rva):
        for k in range(sections):
            size, address, _, raw = struct.unpack_from("<IIII", pe, optional + optional_size + 40 * k + 8)
            if address <= rva < address + size:
                return rva - address + raw
        raise ValueError("RVA %#x in no section" % rva)

    root = offset(root_rva)

    def entries(at):
        named, ids = struct.unpack_from("<HH", pe, root + at + 12)
        for k in range(named + ids):
            yield struct.unpack_from("<II", pe, root + at + 16 + 8 * k)

    found = {}
    for type_id, type_dir in entries(0):
        for name_id, name_dir in entries(type_dir & 0x7FFFFFFF):
            _, leaf = next(entries(name_dir & 0x7FFFFFFF))
            rva, size = struct.unpack_from("<II", pe, root + leaf)
            found[(type_id, name_id)] = pe[offset(rva):offset(rva) + size]
    return found


def image_fault(data, n):
    """None when data is an n x n icon image, else what is wrong with it."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        width, height, depth, color = struct.unpack_from(">IIBB", data, 16)
        if (width, height, depth, color) != (n, n, 8, 6):
            return "PNG %dx%d, depth %d, colour type %d" % (width, height, depth, color)
        idat, at = b"", 8
        while at < len(data):
            length, tag = struct.unpack_from(">I4s", data, at)
            if tag == b"IDAT":
                idat += data[at + 8:at + 8 + length]
            at += 12 + length
        try:
            lines = len(zlib.decompress(idat))
        except zlib.error as e:
            return "PNG data: %s" % e
        return None if lines == n * (4 * n + 1) else "PNG inflates to %d bytes" % lines
    size, width, height, _, bits = struct.unpack_from("<IiiHH", data, 0)
    mask = ((n + 31) // 32) * 4 * n
    if (size, width, height, bits, len(data)) != (40, n, 2 * n, 32, 40 + 4 * n * n + mask):
        return "DIB %dx%d/2, %d bits, %d bytes" % (width, height, bits, len(data))
    return None


def main():
    found = resources(open(sys.argv[1], "rb").read())
    groups = sorted(name for (kind, name) in found if kind == RT_GROUP_ICON)
    faults = [] if groups else ["no icon"]
    for group in groups:
        data = found[(RT_GROUP_ICON, group)]
        count = struct.unpack_from("<H", data, 4)[0]
        sizes = []
        for k in range(count):
            width, image_id = struct.unpack_from("<B11xH", data, 6 + 14 * k)
            n = width or 256
            sizes.append(n)
            fault = image_fault(found.get((RT_ICON, image_id), b"\0" * 40), n)
            if fault:
                faults.append("icon %d, %d px: %s" % (group, n, fault))
        if sorted(sizes) != SIZES:
            faults.append("icon %d holds %s, not %s" % (group, sorted(sizes), SIZES))
    print("; ".join(faults) if faults else
          "%s: %s" % (" ".join(map(str, groups)), " ".join(map(str, SIZES))))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
