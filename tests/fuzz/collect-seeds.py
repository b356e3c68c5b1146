#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora (corpus/<target>/) from the real
artefacts of a test build: the product payload decoded (each file's data cut
to its first bytes, the headers exact), the uninstallation command list an
unattended installation stored (read by the caller and passed in a file),
the command lines and manifests the tests use.

  collect-seeds.py BUILD_DIR UNINSTALL_PARAM_FILE
"""
import lzma
import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))
build, uninstall_param_file = sys.argv[1], sys.argv[2]


def write(target, name, data):
    folder = os.path.join(here, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def messages(stream):
    at = 0
    while at < len(stream):
        kind, length = stream[at], struct.unpack(">I", stream[at + 1:at + 5])[0]
        yield kind, stream[at + 5:at + 5 + length]
        at += 5 + length


def message(kind, value):
    return bytes([kind]) + struct.pack(">I", len(value)) + value


# The payload's messages: the first byte of a seed is the fuzzer's split.
with open(os.path.join(build, "product", "payload.lzma"), "rb") as f:
    decoded = lzma.decompress(f.read(), format=lzma.FORMAT_ALONE)
shrunk = b"".join(message(k, v if k != 0x65 else v[:16]) for k, v in messages(decoded))
write("payload_messages", "product-payload", b"\x00" + shrunk)
write("payload_messages", "product-payload-split-37", b"\x25" + shrunk)
groups = list(messages(decoded))
write("payload_messages", "first-groups", b"\x03" + b"".join(message(k, v[:4]) for k, v in groups[:6]))

# Ours, and the sibling's after a NUL byte (the sibling lists the same
# kinds of entries under its own names).
with open(uninstall_param_file, "rb") as f:
    ours = f.read().strip()
write("command_list", "installed-list", ours)
sibling = ours.replace(b"Vantrel Quillmore", b"Pellmar").replace(b"Quillmore", b"Pellmar")
write("command_list", "installed-list-and-sibling", ours + b"\0" + sibling)
write("command_list", "association",
      b' "-rstFileAssoc=.pmx:Pellmar.Settings" "-delRegKey=HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.pmx"')

# Raw command lines (first byte even, then UTF-16LE) and argument lists
# (first byte odd, arguments separated as FuzzedDataProvider reads them).
command_lines = [
    'QuillmoreInstaller.exe -acceptEULA "-installDir=C:\\Program Files\\Vantrel Quillmore"',
    'QuillmoreInstaller.exe -installDir=C:\\Q -FORCE /noRollback -accepteula /InstallForMeOnly -NODESKTOPICON',
    'p a "b c"\td\r\ne',
    'p a\\"b "x""y"',
    'p a\\\\"b c"',
    'p "" - / "',
    'p -Same=1 /same -SAME=3',
    '"C:\\Program Files\\Q\\QuillmoreInstaller.exe"  \t /?',
    '/INSTALLDIR=" relative\\dir" -e= -c=x=y',
]
for number, line in enumerate(command_lines):
    write("command_line", "line-%d" % number, b"\x00" + line.encode("utf-16-le"))
arguments = ["-acceptEULA", "-installDir=C:\\Program Files\\Vantrel Quillmore", "-force", "/noRollback", "word"]
write("command_line", "arguments", b"\x01" + b"\\ ".join(a.encode().replace(b"\\", b"\\\\") for a in arguments))

# The product's manifest with host paths made relative, and a manifest of
# the forms the usage text allows.
with open(os.path.join(build, "product", "payload.manifest"), "rb") as f:
    manifest = f.read()
source_root = os.path.abspath(os.path.join(here, "..", "..")).encode()
manifest = manifest.replace(os.path.abspath(build).encode() + b"/", b"build/").replace(source_root + b"/", b"")
write("payload_manifest", "product", manifest)
write("payload_manifest", "forms",
      b"# comment\r\nuninst.exe\tu.exe\tuninstaller\nQUILLMORE.EXE\ta.bin\n-\tb.bin\tselector=3\n"
      b"a\\b\\c.txt\tc.bin\tselector=1\n\nd.txt\td.bin\t\tselector=2\tuninstaller\n")
