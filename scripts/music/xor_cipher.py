#!/usr/bin/env python3
"""Enciphers (or deciphers: it is its own inverse) a built-in music track
with the tracks' repeating-key XOR: byte j of the file is XORed with byte
j mod 19 of the key "ReadPictureHeaderEx".

usage: xor_cipher.py IN OUT"""

import pathlib
import sys

KEY = b"ReadPictureHeaderEx"


def xor_cipher(data):
    return bytes(b ^ KEY[j % len(KEY)] for j, b in enumerate(data))


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    pathlib.Path(argv[2]).write_bytes(xor_cipher(pathlib.Path(argv[1]).read_bytes()))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
