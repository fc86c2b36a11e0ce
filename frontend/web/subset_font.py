#!/usr/bin/python3
"""Cuts a font down to the characters the game draws, optionally under a family name of its own.

Usage: subset_font.py SOURCE OUTPUT UNICODES [FAMILY]
UNICODES is pyftsubset's form (e.g. U+0020-007E). With FAMILY, every name record that names
the face is replaced, as a licence may require of a changed font; copyright, licence and
version records stay.
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


def main(argv):
    if len(argv) not in (4, 5):
        sys.exit(__doc__)
    source, output, unicodes = argv[1:4]
    options = subset.Options()
    options.layout_features = []
    options.name_IDs = ["*"]
    options.notdef_outline = True
    font = subset.load_font(source, options)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=subset.parse_unicodes(unicodes))
    subsetter.subset(font)
    if len(argv) == 5:
        rename(font, argv[4])
    subset.save_font(font, output, options)


if __name__ == "__main__":
    main(sys.argv)
