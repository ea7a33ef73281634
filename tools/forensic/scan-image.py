#!/usr/bin/env python3
"""Looks for what a wipe should have destroyed in the raw bytes of a file system image.

scan-image.py IMAGE FS TARGETS.json  prints one JSON object: how many of the names, of the scrambled
(MD5) names and of the contents are still somewhere in the image, and where (for ext4: inside the
journal or elsewhere). TARGETS.json: {"names": [...], "aliases": [...], "md5": [...], "markers": [...]}.
A name counts in every encoding a file system may keep it in: UTF-8, UTF-16LE, code page 949, and
FAT's and exFAT's long names, which are cut into pieces across 32-byte entries, put back together.
"""
import json
import re
import subprocess
import sys


def encodings(name):
    forms = {name.encode("utf-8"), name.encode("utf-16-le")}
    try:
        forms.add(name.encode("cp949"))
    except UnicodeEncodeError:
        pass
    return forms


def fat_long_names(data):
    """Runs of FAT long-name entries (attribute 0x0F), in use or freed, joined in name order."""
    texts, run = [], []
    for at in range(0, len(data) - 31, 32):
        entry = data[at:at + 32]
        if entry[11] == 0x0F and entry[12] == 0 and entry[26:28] == b"\0\0":
            run.append(entry[1:11] + entry[14:26] + entry[28:32])
            continue
        if run:
            texts.append(b"".join(reversed(run)))
            run = []
    return texts


def exfat_long_names(data):
    """Runs of exFAT file-name entries (0xC1 in use, 0x41 freed), joined."""
    texts, run = [], []
    for at in range(0, len(data) - 31, 32):
        entry = data[at:at + 32]
        if entry[0] in (0xC1, 0x41) and entry[1] == 0:
            run.append(entry[2:32])
            continue
        if run:
            texts.append(b"".join(run))
            run = []
    return texts


def ext4_journal(image):
    """Byte ranges of ext4's journal (inode 8)."""
    out = subprocess.run(["debugfs", "-R", "stat <8>", image], capture_output=True, text=True).stdout
    size = subprocess.run(["dumpe2fs", "-h", image], capture_output=True, text=True).stdout
    block = int(re.search(r"Block size:\s+(\d+)", size).group(1))
    ranges = []
    for first, last in re.findall(r"\(\d+(?:-\d+)?\):(\d+)(?:-(\d+))?", out):
        last = last or first
        ranges.append((int(first) * block, (int(last) + 1) * block))
    return ranges


def places(data, needle):
    found, at = [], data.find(needle)
    while at >= 0:
        found.append(at)
        at = data.find(needle, at + 1)
    return found


def main():
    image, fs, targets = sys.argv[1], sys.argv[2], json.load(open(sys.argv[3], encoding="utf-8"))
    data = open(image, "rb").read()
    joined = fat_long_names(data) if fs == "fat" else exfat_long_names(data) if fs == "exfat" else []
    journal = ext4_journal(image) if fs == "ext4" else []

    def where(needles):
        """'journal' when every hit lies in the journal, 'disk' when one lies elsewhere, None if none."""
        hits = [at for needle in needles for at in places(data, needle)]
        if any(needle in text for text in joined for needle in needles):
            return "disk"
        if not hits:
            return None
        return "journal" if all(any(a <= at < b for a, b in journal) for at in hits) else "disk"

    result = {}
    for kind, items, forms in (
        ("names", targets["names"], encodings),
        # A freed FAT entry loses its first byte to the deletion mark.
        ("aliases", targets["aliases"], lambda alias: {alias.encode("cp949")[1:]}),
        ("md5", targets["md5"], lambda digest: {digest.encode("ascii"), digest.encode("utf-16-le")}),
        ("contents", targets["markers"], lambda marker: {marker.encode("ascii")}),
    ):
        found = {item: where(forms(item)) for item in items}
        result[kind] = {"total": len(items), "disk": sorted(i for i, w in found.items() if w == "disk"),
                        "journal": sorted(i for i, w in found.items() if w == "journal")}
    # A name overwritten only in part: any 8 of its characters, taken every 4, still there.
    pieces = lambda name: set().union(*(encodings(name[i:i + 8]) for i in range(0, max(1, len(name) - 7), 4)))
    partly = [n for n in targets["names"] + targets["md5"]
              if n not in result["names"]["disk"] + result["md5"]["disk"] and len(n) >= 8 and where(pieces(n)) == "disk"]
    result["fragments"] = sorted(partly)
    json.dump(result, sys.stdout, ensure_ascii=False)
    print()


if __name__ == "__main__":
    main()
