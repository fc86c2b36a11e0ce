#!/usr/bin/python3
"""Cuts a font down to the characters the game draws, optionally under a family name of its own.

Usage: subset_font.py SOURCE OUTPUT UNICODES [FAMILY] [--text=FILE:FIRST-LAST ...]
UNICODES is pyftsubset's form (e.g. U+0020-007E). With FAMILY, every name record that names
the face is replaced, as a licence may require of a changed font; copyright, licence and
version records stay. Each --text adds the characters of a UTF-8 source file from FIRST to
LAST (hexadecimal code points), so the texts the game draws from it need no list by hand.
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

KEPT_NAME_IDS = {0, 5, 7, 13, 14}  # copyright, version, trademark, licence, licence URL


def rename(font, family):
    names = font["name"]
    names.names = [n for n in names.names if n.nameID in KEPT_NAME_IDS]
    postscript = family.replace(" ", "")
    for name_id, value in ((1, family), (2, "Regular"), (3, postscript), (4, family),
                           (6, postscript)):
        names.setName(value, name_id, 3, 1, 0x409)
        names.setName(value, name_id, 1, 0, 0)


def characters_of(option):
    path, _, span = option[len("--text="):].rpartition(":")
    first, last = (int(end, 16) for end in span.split("-"))
    with open(path, encoding="utf-8") as text:
        return {ord(c) for c in text.read() if first <= ord(c) <= last}


def main(argv):
    texts = [a for a in argv if a.startswith("--text=")]
    argv = [a for a in argv if not a.startswith("--text=")]
    if len(argv) not in (4, 5):
        sys.exit(__doc__)
    source, output, unicodes = argv[1:4]
    options = subset.Options()
    options.layout_features = []
    options.name_IDs = ["*"]
    options.notdef_outline = True
    font = subset.load_font(source, options)
    subsetter = subset.Subsetter(options)
    wanted = set(subset.parse_unicodes(unicodes))
    for option in texts:
        wanted |= characters_of(option)
    subsetter.populate(unicodes=sorted(wanted))
    subsetter.subset(font)
    if len(argv) == 5:
        rename(font, argv[4])
    subset.save_font(font, output, options)


if __name__ == "__main__":
    main(sys.argv)
