#!/usr/bin/env python3
"""Writes a zlib stream whose Adler-32 trailer does not match its data, for
the test of a damaged uninstaller resource. usage: make-damaged-zlib.py OUT"""
import sys
import zlib

packed = bytearray(zlib.compress(b"uninstaller bytes " * 64, 9))
packed[-1] ^= 0xFF
with open(sys.argv[1], "wb") as f:
    f.write(packed)
