#!/usr/bin/env python3
"""Where an image's bytes come from, read from the linker's map (-Map).

  size-by-origin.py MAP IMAGE

Prints the bytes of code, data, constants and frame tables that each origin
brings into the image (our libraries, Crypto++, liblzma, the C++ library,
the MinGW runtime, resources), largest first, and the rest of the file
(headers, imports, relocations, alignment). The map is the one written by
the same link as the image; a stripped image has the same loaded sections.
"""
import os
import re
import sys
from collections import Counter

# Output sections that are loaded; debug sections only live in the file
# until it is stripped, and the map lists them too.
LOADED = {'.text', '.data', '.rdata', '.eh_frame', '.pdata', '.xdata', '.CRT', '.tls', '.rsrc'}

ORIGINS = [
    ('Crypto++', re.compile(r'libcryptopp\.a\(')),
    ('liblzma', re.compile(r'liblzma\.a\(')),
    ('C++ library', re.compile(r'lib(stdc\+\+|supc\+\+|gcc|gcc_eh)\.a\(')),
    ('MinGW runtime', re.compile(r'lib(mingwex|mingw32|msvcrt|pthread|winpthread|uuid|moldname)\.a\(|crt\w*\.o$|dllcrt')),
    ('resources', re.compile(r'\.res$')),
    ('our code', re.compile(r'\.(obj|o)$|lib\w+\.a\(\w+\.cpp\.obj\)')),
]


def origin_of(path):
    name = os.path.basename(path)
    for origin, pattern in ORIGINS:
        if pattern.search(name):
            return origin
    return 'linker and system import stubs'


def loaded_bytes_by_origin(map_text):
    start = map_text.find('Linker script and memory map')
    if start < 0:
        raise SystemExit('size-by-origin: not a GNU ld map (no memory map)')
    sizes = Counter()
    output = None
    pending = None  # an input section whose name filled its own line
    for line in map_text[start:].splitlines():
        header = re.match(r'^(\.\S+)\s', line) or re.match(r'^(\.\S+)$', line)
        if header:
            output = header.group(1)
            continue
        entry = re.match(r'^ (\.\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$', line)
        if entry:
            address, size, path = int(entry.group(2), 16), int(entry.group(3), 16), entry.group(4)
        else:
            if re.match(r'^ \.\S+$', line):
                pending = True
                continue
            continued = re.match(r'^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$', line)
            if not (continued and pending):
                pending = None
                continue
            address, size, path = int(continued.group(1), 16), int(continued.group(2), 16), continued.group(3)
        pending = None
        if output in LOADED and address and size:
            sizes[origin_of(path.strip())] += size
    return sizes


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__.strip())
    map_path, image = sys.argv[1:]
    with open(map_path, encoding='utf-8', errors='replace') as f:
        sizes = loaded_bytes_by_origin(f.read())
    total = os.path.getsize(image)
    name = os.path.basename(image)
    for origin, size in sizes.most_common():
        print(f'{name}: {size:>10,} B  {origin}')
    print(f'{name}: {total - sum(sizes.values()):>10,} B  headers, imports, relocations, alignment')


if __name__ == '__main__':
    main()
