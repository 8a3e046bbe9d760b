#!/usr/bin/env python3
"""Checks that a built Windows launcher executable (x86-64 PE) is fit to ship.

- It is a Windows GUI program, so starting it opens no console window.
- It imports only DLLs that every Windows installation has, so it runs on its
  own without C++ runtime DLLs beside it.
- It carries the application icon (group icon 128) with all five images the
  shell picks from, and every image the group refers to is present.
- Its version resource gives the project's version, as numbers and as text,
  with the product name, the file description and its own file name.

Prints each problem to stderr and exits 1, or prints one summary line and
exits 0.

Usage: check_executable.py EXE VERSION
"""

import struct
import sys

SUBSYSTEM_WINDOWS_GUI = 2
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "shell32.dll", "advapi32.dll", "msvcrt.dll",
               "ntdll.dll", "gdi32.dll", "ole32.dll", "shlwapi.dll"}
RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
ICON_GROUP_ID = 128
EXPECTED_ICONS = sorted([(16, 16, 8), (32, 32, 8), (16, 16, 32), (32, 32, 32), (48, 48, 32)])
DIR_IMPORT = 1
DIR_RESOURCE = 2


class Malformed(Exception):
    """The file does not hold a well-formed x86-64 PE image."""


class Image:
    """Read access to a PE file by file offset or by relative virtual address."""

    def __init__(self, data):
        self.data = data
        if self.read("<2s", 0)[0] != b"MZ":
            raise Malformed("no MZ header")
        pe = self.read("<I", 0x3C)[0]
        if self.read("<4s", pe)[0] != b"PE\0\0":
            raise Malformed("no PE signature")
        machine, sections, _, _, _, self.optional_size, _ = self.read("<HHIIIHH", pe + 4)
        if machine != 0x8664:
            raise Malformed("machine is 0x%04x, not x86-64 (0x8664)" % machine)
        self.optional = pe + 24
        if self.read("<H", self.optional)[0] != 0x20B:
            raise Malformed("optional header is not PE32+")
        table = self.optional + self.optional_size
        self.sections = [self.read("<IIII", table + 40 * i + 8) for i in range(sections)]

    def read(self, fmt, offset):
        end = offset + struct.calcsize(fmt)
        if offset < 0 or end > len(self.data):
            raise Malformed("truncated: %d bytes needed at offset %d" % (end - offset, offset))
        return struct.unpack_from(fmt, self.data, offset)

    def offset(self, rva):
        for virtual_size, address, raw_size, raw_offset in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                if rva - address >= raw_size:
                    raise Malformed("RVA 0x%x lies outside the section's file data" % rva)
                return raw_offset + rva - address
        raise Malformed("RVA 0x%x lies in no section" % rva)

    def read_rva(self, fmt, rva):
        return self.read(fmt, self.offset(rva))

    def string_rva(self, rva):
        start = self.offset(rva)
        end = self.data.find(b"\0", start)
        if end < 0:
            raise Malformed("unterminated string at RVA 0x%x" % rva)
        return self.data[start:end].decode("ascii", "replace")

    def subsystem(self):
        return self.read("<H", self.optional + 68)[0]

    def directory(self, index):
        """(rva, size) of a data directory, or (0, 0) when the image has none."""
        count = self.read("<I", self.optional + 108)[0]
        if index >= count or 112 + 8 * (index + 1) > self.optional_size:
            return 0, 0
        return self.read("<II", self.optional + 112 + 8 * index)


def imported_dlls(image):
    rva, _ = image.directory(DIR_IMPORT)
    dlls = []
    while rva:
        lookup, _, _, name, thunks = image.read_rva("<IIIII", rva)
        if not (lookup or name or thunks):
            break
        dlls.append(image.string_rva(name))
        rva += 20
    return dlls


def is_system_dll(name):
    name = name.lower()
    return name in SYSTEM_DLLS or (name.startswith("api-ms-win-") and name.endswith(".dll"))


def resource_entries(image, root, offset):
    """{id: (is_directory, offset)} of a resource directory; named entries are skipped."""
    named, numbered = image.read_rva("<IIHHHH", root + offset)[4:]
    entries = {}
    for i in range(named, named + numbered):
        ident, target = image.read_rva("<II", root + offset + 16 + 8 * i)
        entries[ident] = (bool(target & 0x80000000), target & 0x7FFFFFFF)
    return entries


def resource_data(image, root, kind, ident):
    """Bytes of the first language of resource kind/ident, or None when it is missing."""
    offset = 0
    for key in (kind, ident):
        entry = resource_entries(image, root, offset).get(key)
        if entry is None:
            return None
        is_directory, offset = entry
        if not is_directory:
            raise Malformed("resource %d/%d stops short of its language level" % (kind, ident))
    languages = resource_entries(image, root, offset)
    if not languages:
        return None
    is_directory, offset = languages[min(languages)]
    if is_directory:
        raise Malformed("resource %d/%d nests deeper than three levels" % (kind, ident))
    rva, size = image.read_rva("<II", root + offset)
    start = image.offset(rva)
    if start + size > len(image.data):
        raise Malformed("resource %d/%d runs past the end of the file" % (kind, ident))
    return image.data[start:start + size]


def describe_icons(images):
    return ", ".join("%dx%d@%dbpp" % image for image in images) or "no images"


def icon_problems(image):
    """Returns (problems, number of images listed in the icon group)."""
    root, _ = image.directory(DIR_RESOURCE)
    if not root:
        return ["no resource directory, so no application icon"], 0
    group = resource_data(image, root, RT_GROUP_ICON, ICON_GROUP_ID)
    if group is None:
        return ["no RT_GROUP_ICON resource with ID %d" % ICON_GROUP_ID], 0
    if len(group) < 6:
        raise Malformed("icon group %d is truncated" % ICON_GROUP_ID)
    count = struct.unpack_from("<H", group, 4)[0]
    if len(group) < 6 + 14 * count:
        raise Malformed("icon group %d is truncated" % ICON_GROUP_ID)
    problems, found = [], []
    for i in range(count):
        width, height, _, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        found.append((width or 256, height or 256, bits))
        if resource_data(image, root, RT_ICON, icon_id) is None:
            problems.append("icon group %d refers to RT_ICON %d, which is missing" % (ICON_GROUP_ID, icon_id))
    if sorted(found) != EXPECTED_ICONS:
        problems.append("icon group %d holds %s; expected %s"
                        % (ICON_GROUP_ID, describe_icons(found), describe_icons(EXPECTED_ICONS)))
    return problems, count


def version_block(data, offset):
    """(key, value, children) of the version block at offset, and its length."""
    length, value_length, is_text = struct.unpack_from("<HHH", data, offset)
    key_end = offset + 6
    while data[key_end:key_end + 2] not in (b"\0\0", b""):
        key_end += 2
    key = data[offset + 6:key_end].decode("utf-16-le")
    start = (key_end + 5) & ~3
    value = data[start:start + (2 * value_length if is_text else value_length)]
    children, child = [], (start + len(value) + 3) & ~3
    while child < offset + length:
        block, size = version_block(data, child)
        children.append(block)
        child = (child + size + 3) & ~3
    return (key, value, children), length


def version_problems(image, path, version):
    root, _ = image.directory(DIR_RESOURCE)
    data = resource_data(image, root, RT_VERSION, 1) if root else None
    if data is None:
        return ["no version resource"]
    (key, fixed, children), _ = version_block(data, 0)
    if key != "VS_VERSION_INFO" or len(fixed) < 52 or fixed[:4] != b"\xbd\x04\xef\xfe":
        raise Malformed("version resource without its fixed part")
    numbers = [int(part) for part in version.split(".")] + [0]
    expected = struct.pack("<HHHH", numbers[1], numbers[0], numbers[3], numbers[2])
    problems = ["%s is not %s" % (name, version) for name, at in
                (("file version", 8), ("product version", 16)) if fixed[at:at + 8] != expected]
    strings = {name: value.decode("utf-16-le").rstrip("\0")
               for key, _, tables in children if key == "StringFileInfo"
               for _, _, entries in tables for name, value, _ in entries}
    wanted = {"FileVersion": version, "ProductVersion": version,
              "OriginalFilename": path.replace("\\", "/").rsplit("/", 1)[-1],
              "ProductName": None, "FileDescription": None}
    for name, value in wanted.items():
        if not strings.get(name) or value not in (None, strings[name]):
            problems.append("version text %s is %r, expected %r" % (name, strings.get(name), value))
    return problems


def check(image, path, version):
    """Returns (problems, summary)."""
    problems = []
    subsystem = image.subsystem()
    if subsystem != SUBSYSTEM_WINDOWS_GUI:
        problems.append("subsystem is %d, expected %d (Windows GUI); a console window would open"
                        % (subsystem, SUBSYSTEM_WINDOWS_GUI))
    dlls = imported_dlls(image)
    for dll in dlls:
        if not is_system_dll(dll):
            problems.append("imports %s, which is not a system DLL" % dll)
    icon, images = icon_problems(image)
    problems += icon + version_problems(image, path, version)
    summary = "GUI, imports: %s; icon %d: %d images; version %s" % (
        ", ".join(dlls) or "none", ICON_GROUP_ID, images, version)
    return problems, summary


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: check_executable.py EXE VERSION")
    path, version = sys.argv[1:]
    try:
        with open(path, "rb") as f:
            problems, summary = check(Image(f.read()), path, version)
    except OSError as error:
        problems = ["cannot read: %s" % error.strerror]
    except Malformed as error:
        problems = ["not a valid x86-64 PE executable: %s" % error]
    if problems:
        for problem in problems:
            print("check_executable: %s: %s" % (path, problem), file=sys.stderr)
        sys.exit(1)
    print("check_executable: ok (%s)" % summary)


if __name__ == "__main__":
    main()
