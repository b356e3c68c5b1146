#!/usr/bin/env python3
"""Lists or extracts the resources of a Windows PE image, read from the file.

  pe-resources.py IMAGE                 one line per resource: TYPE NAME LANG SIZE
  pe-resources.py IMAGE TYPE NAME       the data of that resource, to stdout

Types and names are decimal ids, or the name in double quotes ("RTF").
Exits 2 with a message when the image or its resource section cannot be read.
"""
import struct
import sys

RESOURCE_DIRECTORY = 2  # index in the optional header's data directories


class Unreadable(Exception):
    pass


def read_image(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError as e:
        raise Unreadable(f"cannot read {path}: {e.strerror}")


def unpack(fmt, image, offset):
    size = struct.calcsize(fmt)
    if offset < 0 or offset + size > len(image):
        raise Unreadable(f"truncated image (reading {size} bytes at {offset:#x})")
    return struct.unpack_from(fmt, image, offset)


def sections_and_resource_rva(image):
    if image[:2] != b"MZ":
        raise Unreadable("not an MZ image")
    (pe,) = unpack("<I", image, 0x3C)
    if image[pe:pe + 4] != b"PE\0\0":
        raise Unreadable("no PE signature")
    _, count, _, _, _, optional_size, _ = unpack("<HHIIIHH", image, pe + 4)
    optional = pe + 24
    (magic,) = unpack("<H", image, optional)
    directories = optional + {0x10B: 96, 0x20B: 112}.get(magic, -1)
    if directories < optional:
        raise Unreadable(f"unknown optional header magic {magic:#x}")
    rva, size = unpack("<II", image, directories + 8 * RESOURCE_DIRECTORY)
    sections = []
    for i in range(count):
        entry = optional + optional_size + 40 * i
        virtual_size, virtual_address, raw_size, raw_offset = unpack("<IIII", image, entry + 8)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_offset))
    return sections, rva, size


def file_offset(sections, rva):
    for start, size, raw in sections:
        if start <= rva < start + size:
            return raw + rva - start
    raise Unreadable(f"address {rva:#x} lies in no section")


def resources(image):
    """Yields (type, name, language, data offset, size) for every resource."""
    sections, root_rva, root_size = sections_and_resource_rva(image)
    if root_rva == 0 or root_size == 0:
        raise Unreadable("no resource section")
    root = file_offset(sections, root_rva)

    def label(entry_name):
        if entry_name & 0x80000000 == 0:
            return str(entry_name)
        at = root + (entry_name & 0x7FFFFFFF)
        (length,) = unpack("<H", image, at)
        return '"' + image[at + 2:at + 2 + 2 * length].decode("utf-16-le") + '"'

    def entries(directory):
        named, numbered = unpack("<HH", image, directory + 12)
        for i in range(named + numbered):
            name, target = unpack("<II", image, directory + 16 + 8 * i)
            yield label(name), target

    for type_label, type_target in entries(root):
        for name_label, name_target in entries(root + (type_target & 0x7FFFFFFF)):
            for lang_label, lang_target in entries(root + (name_target & 0x7FFFFFFF)):
                if lang_target & 0x80000000:
                    raise Unreadable("resource tree deeper than type/name/language")
                data_rva, size = unpack("<II", image, root + lang_target)
                offset = file_offset(sections, data_rva)
                if offset + size > len(image):
                    raise Unreadable(f"resource {type_label}/{name_label} runs past the end of the file")
                yield type_label, name_label, lang_label, offset, size


def main(argv):
    if len(argv) not in (2, 4):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        image = read_image(argv[1])
        found = list(resources(image))
    except Unreadable as e:
        print(f"pe-resources: {argv[1]}: {e}", file=sys.stderr)
        return 2
    if len(argv) == 2:
        for type_label, name_label, lang_label, _, size in found:
            print(type_label, name_label, lang_label, size)
        return 0
    for type_label, name_label, _, offset, size in found:
        if (type_label, name_label) == (argv[2], argv[3]):
            sys.stdout.buffer.write(image[offset:offset + size])
            return 0
    print(f"pe-resources: {argv[1]}: no resource {argv[2]} {argv[3]}", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
