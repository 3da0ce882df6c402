#!/usr/bin/env python3
"""Reads what the Windows leg of the tests checks in Windows files, on Linux.

  read-windows-file.py version PROGRAM.exe   the version resource: one "Key=value" a line,
                                             FileVersion numbers first as "Fixed=a.b.c.d"
  read-windows-file.py resources PROGRAM.exe the kinds of resource it holds, one a line
  read-windows-file.py manifest PROGRAM.exe  its application manifest
  read-windows-file.py link SHORTCUT.lnk     the shortcut's target on the first line, its
                                             arguments on the second
"""
import struct
import sys

RESOURCE_KINDS = {1: "CURSOR", 2: "BITMAP", 3: "ICON", 4: "MENU", 5: "DIALOG", 6: "STRING",
                  9: "ACCELERATOR", 10: "RCDATA", 14: "GROUP_ICON", 16: "VERSION",
                  24: "MANIFEST"}


class PeFile:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a Windows program")
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (112 if magic == 0x20B else 96)
        self.resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            size, rva, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((rva, max(size, raw_size), raw))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("address outside every section")

    def resources(self):
        """{kind: [bytes of each resource of that kind]}"""
        if self.resource_rva == 0:
            return {}
        base = self.offset(self.resource_rva)
        found = {}

        def entries(at):
            named, numbered = struct.unpack_from("<12xHH", self.data, base + at)
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, base + at + 16 + 8 * i)
                yield name, target

        def leaves(at):
            for _, target in entries(at):
                if target & 0x80000000:
                    yield from leaves(target & 0x7FFFFFFF)
                else:
                    rva, size = struct.unpack_from("<II", self.data, base + target)
                    start = self.offset(rva)
                    yield self.data[start:start + size]

        for kind, target in entries(0):
            if target & 0x80000000:
                found[kind] = list(leaves(target & 0x7FFFFFFF))
        return found


def version_strings(block):
    """The text values of a VS_VERSIONINFO block, and its fixed file version."""
    values = {}

    def node(at):
        length, value_length, kind = struct.unpack_from("<HHH", block, at)
        end = at + length
        key_end = at + 6
        while block[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = block[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        if kind == 1 and value_length:
            text = block[value_at:value_at + 2 * value_length].decode("utf-16-le")
            values[key] = text.rstrip("\0")
            value_end = value_at + 2 * value_length
        else:
            if key == "VS_VERSION_INFO" and value_length >= 52:
                ms, ls = struct.unpack_from("<II", block, value_at + 8)
                values["Fixed"] = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
            value_end = value_at + value_length
        child = (value_end + 3) & ~3
        while child < end:
            child_length = struct.unpack_from("<H", block, child)[0]
            if child_length == 0:
                break
            node(child)
            child = (child + child_length + 3) & ~3

    node(0)
    return values


def read_link(data):
    """(target, arguments) of a shell link (.lnk) file."""
    if struct.unpack_from("<I", data, 0)[0] != 0x4C:
        raise ValueError("not a shortcut")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    unicode = flags & 0x80
    at = 0x4C
    if flags & 0x01:  # an item list of the target, skipped: the link information names it
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = ""
    if flags & 0x02:
        size, header = struct.unpack_from("<II", data, at)
        base_at = struct.unpack_from("<I", data, at + 16)[0]
        suffix_at = struct.unpack_from("<I", data, at + 24)[0]

        def text(offset, wide):
            start = at + offset
            if wide:
                end = start
                while data[end:end + 2] != b"\0\0":
                    end += 2
                return data[start:end].decode("utf-16-le")
            return data[start:data.index(b"\0", start)].decode("cp1252")

        if header >= 0x24:
            base_wide = struct.unpack_from("<I", data, at + 28)[0]
            suffix_wide = struct.unpack_from("<I", data, at + 32)[0]
            target = text(base_wide, True) + text(suffix_wide, True) if base_wide else ""
        if not target and base_at:
            target = text(base_at, False) + text(suffix_at, False)
        at += size
    strings = []
    for bit in (0x04, 0x08, 0x10, 0x20):  # name, relative path, working folder, arguments
        if flags & bit:
            count = struct.unpack_from("<H", data, at)[0]
            width = 2 if unicode else 1
            raw = data[at + 2:at + 2 + count * width]
            # Some writers count the closing NUL too.
            strings.append((bit, raw.decode("utf-16-le" if unicode else "cp1252").rstrip("\0")))
            at += 2 + count * width
    found = dict(strings)
    return target, found.get(0x20, "")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    what, name = sys.argv[1:]
    data = open(name, "rb").read()
    if what == "link":
        target, arguments = read_link(data)
        print(target)
        print(arguments)
        return
    resources = PeFile(data).resources()
    if what == "resources":
        for kind in sorted(resources):
            print(RESOURCE_KINDS.get(kind, str(kind)))
    elif what == "version":
        for block in resources.get(16, []):
            for key, value in version_strings(block).items():
                print("%s=%s" % (key, value))
    elif what == "manifest":
        for block in resources.get(24, []):
            print(block.decode("utf-8"))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
