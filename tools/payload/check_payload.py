#!/usr/bin/env python3
"""Checks that a ZIP file can be the installer's payload.

The installer's extraction reads the archive in a particular way: it tests the file's first
bytes for a local header, creates no folder for a file, knows only stored and deflated data,
joins entry names to the install folder as they are stored (GBK bytes) and starts the main
executable from the top of the install folder. An archive that breaks one of those
assumptions installs badly or not at all, so the build refuses it here.

    check_payload.py [--main-executable Quorvane.exe] [--stamp FILE] ARCHIVE.zip

Prints one line per broken rule, naming the rule and the entry, and exits with 1; on success
touches FILE, when given, and exits with 0.
"""
import argparse
import dataclasses
import os
import re
import struct
import sys
import zlib

NAME_ENCODING = "gbk"
MAX_NAME = 259  # the extraction keeps at most 259 bytes of a name
DOS_DIRECTORY = 0x10
FLAG_ENCRYPTED = 0x0001
FLAG_DESCRIPTOR = 0x0008
FLAG_STRONG_ENCRYPTION = 0x0040
FLAG_UTF8 = 0x0800
RESERVED_NAMES = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"} | {
    f"{d}{i}" for d in ("COM", "LPT") for i in range(10)}
FORBIDDEN = set('<>"|?*')


@dataclasses.dataclass
class Problem:
    rule: str
    index: int | None  # None: the archive as a whole
    name: bytes
    detail: str

    def __str__(self):
        if self.index is None:
            return f'rule "{self.rule}" broken by the archive: {self.detail}'
        return f'rule "{self.rule}" broken by entry {self.index} "{shown(self.name)}": {self.detail}'


@dataclasses.dataclass
class Entry:
    index: int
    name: bytes
    flags: int
    method: int
    crc: int
    compressed_size: int
    size: int
    external: int
    local_offset: int

    @property
    def is_directory(self):
        return bool(self.external & DOS_DIRECTORY)


def shown(name):
    text = name.decode(NAME_ENCODING, "backslashreplace")
    return "".join(c if c.isprintable() else f"\\x{ord(c):02x}" for c in text)


def characters(name):
    """The name split into characters of the ANSI code page: a lead byte takes the next byte."""
    out, i = [], 0
    while i < len(name):
        width = 2 if 0x81 <= name[i] <= 0xFE and i + 1 < len(name) else 1
        out.append(name[i:i + width])
        i += width
    return out


def components(name):
    """The parts between separators; "\\" counts as one too, as it does for the extraction.
    A directory name's final separator ends the name and opens no part of its own."""
    parts, current = [], b""
    chars = characters(name)
    if chars and chars[-1] == b"/":
        chars = chars[:-1]
    for c in chars:
        if c in (b"/", b"\\"):
            parts.append(current)
            current = b""
        else:
            current += c
    parts.append(current)
    return parts


def folded(name):
    """The name for a case-blind comparison, as the Windows file system makes it."""
    return name.decode(NAME_ENCODING, "replace").upper().replace("\\", "/")


def name_problems(name):
    """Reasons why name is unsafe to join to the install folder."""
    if not name:
        return ["the name is empty"]
    out = []
    if len(name) > MAX_NAME:
        out.append(f"the name is {len(name)} bytes long; 260 or more do not fit")
    if name[:1] in (b"/", b"\\"):
        out.append("the name starts with a separator")
    if re.match(rb"[A-Za-z]:", name):
        out.append("the name starts with a drive")
    chars = characters(name)
    if b":" in chars:
        out.append('the name contains ":"')
    for c in chars:
        if len(c) == 1 and (c[0] < 0x20 or c[0] == 0x7F):
            out.append(f"the name contains the control character 0x{c[0]:02x}")
        elif c.decode("latin-1") in FORBIDDEN:
            out.append(f'the name contains "{c.decode()}", which Windows does not allow')
    for part in components(name):
        if part in (b"", b".", b".."):
            out.append(f'the name has a part "{part.decode()}"' if part else "the name has an empty part")
        elif part.endswith((b".", b" ")):
            out.append(f'the part "{shown(part)}" ends in a dot or a space')
        else:
            base = part.split(b".")[0].rstrip(b" ").upper()
            if base.decode("latin-1") in RESERVED_NAMES:
                out.append(f'the part "{shown(part)}" is a reserved device name')
    return out


class Archive:
    def __init__(self, data):
        self.data = data
        self.problems = []
        self.entries = []

    def fail(self, rule, entry, detail):
        index, name = (None, b"") if entry is None else (entry.index, entry.name)
        self.problems.append(Problem(rule, index, name, detail))

    def read_central_directory(self):
        d = self.data
        # The end record is the last one whose comment reaches exactly to the end of the file.
        end = len(d) - 18
        while True:
            end = d.rfind(b"PK\x05\x06", max(0, len(d) - 22 - 65535), end)
            if end < 0 or end + 22 + struct.unpack_from("<H", d, end + 20)[0] == len(d):
                break
        if end < 0:
            self.fail("central-directory", None, "no end-of-central-directory record")
            return False
        disk, cd_disk, on_disk, count, size, offset = struct.unpack_from("<HHHHII", d, end + 4)
        if count == 0xFFFF or size == 0xFFFFFFFF or offset == 0xFFFFFFFF:
            self.fail("central-directory", None, "ZIP64 archives are not supported")
            return False
        if disk or cd_disk or on_disk != count:
            self.fail("central-directory", None, "the archive spans more than one disk")
            return False
        if offset + size > end:
            self.fail("central-directory", None,
                      f"the central directory ({size} bytes at {offset}) runs past its end record")
            return False
        o = offset
        for i in range(count):
            if o + 46 > offset + size or d[o:o + 4] != b"PK\x01\x02":
                self.fail("central-directory", None, f"central record {i} of {count} is missing or damaged")
                return False
            (flags, method, crc, csize, usize, name_len, extra_len, comment_len, external,
             local) = struct.unpack_from("<4xHH4xIIIHHH4xII", d, o + 4)
            name = d[o + 46:o + 46 + name_len]
            self.entries.append(Entry(i, name, flags, method, crc, csize, usize, external, local))
            o += 46 + name_len + extra_len + comment_len
        if o != offset + size:
            self.fail("central-directory", None,
                      f"the central directory holds {o - offset} bytes of records, not {size}")
        return True

    def local_data(self, e):
        """The entry's stored data, or None when its local header does not match its record."""
        d = self.data
        o = e.local_offset
        if o + 30 > len(d) or d[o:o + 4] != b"PK\x03\x04":
            self.fail("local-header", e, f"no local header at offset {o}")
            return None
        flags, method, crc, csize, usize, name_len, extra_len = struct.unpack_from("<2xHH4xIIIHH", d, o + 4)
        mismatches = []
        if method != e.method:
            mismatches.append(f"method {method} against {e.method}")
        if not flags & FLAG_DESCRIPTOR and (crc, csize, usize) != (e.crc, e.compressed_size, e.size):
            mismatches.append("CRC-32 or sizes differ")
        if name_len != len(e.name) or d[o + 30:o + 30 + name_len] != e.name:
            mismatches.append("the name differs")
        start = o + 30 + name_len + extra_len
        if start + e.compressed_size > len(d):
            mismatches.append("the data runs past the end of the file")
        if mismatches:
            self.fail("local-header", e, "the local header does not match the central record: "
                      + ", ".join(mismatches))
            return None
        return d[start:start + e.compressed_size]

    def check_data(self, e, stored):
        if e.method == 0:
            data = stored
        else:
            inflater = zlib.decompressobj(-15)
            try:
                data = inflater.decompress(stored) + inflater.flush()
            except zlib.error as error:
                self.fail("entry-data", e, f"the data does not inflate ({error})")
                return
            if not inflater.eof:
                self.fail("entry-data", e, "the deflated data ends early")
                return
        if len(data) != e.size or zlib.crc32(data) != e.crc:
            self.fail("entry-data", e, "the data does not give the recorded size and CRC-32")

    def check(self, main_executable):
        d = self.data
        if d[:4] != b"PK\x03\x04":
            self.fail("local-header-first", None, "the file does not begin with a local header")
        if not self.read_central_directory():
            return self.problems
        if not self.entries:
            self.fail("at-least-one-entry", None, "the archive has no entries")
            return self.problems
        first = self.entries[0]
        if first.local_offset != 0:
            self.fail("local-header-first", first,
                      f"the first entry's local header is at offset {first.local_offset}, not 0")
        elif len(d) < 32 or struct.unpack_from("<i", d, 24)[0] < 1:
            # The extraction's signature test reads bytes 24 to 27 as one signed number.
            self.fail("local-header-first", first, "the first entry's name must be 1 to 32,767 bytes long")

        folders = set()  # directory entries seen so far
        for e in self.entries:
            unsafe = name_problems(e.name)
            for detail in unsafe:
                self.fail("unsafe-name", e, detail)
            try:
                e.name.decode(NAME_ENCODING)
            except UnicodeDecodeError:
                self.fail("name-encoding", e, "the name is not valid GBK")
            if e.flags & FLAG_UTF8:
                self.fail("utf8-flag", e, "the name is flagged as UTF-8; names must be GBK bytes")
            if e.method not in (0, 8):
                self.fail("method", e, f"compression method {e.method}; only 0 (stored) and 8 (deflate) are read")
            encrypted = e.flags & (FLAG_ENCRYPTED | FLAG_STRONG_ENCRYPTION)
            if encrypted:
                self.fail("encryption", e, "the entry is encrypted")
            if e.name.endswith(b"/") and not e.is_directory:
                self.fail("directory-attribute", e,
                          "the name ends in \"/\" but the DOS directory attribute 0x10 is not set")
            parts = [] if unsafe else components(e.name)
            for depth in range(1, len(parts)):
                folder = folded(b"/".join(parts[:depth]) + b"/")
                if folder not in folders:
                    self.fail("directory-order", e, f'no directory entry "{shown(b"/".join(parts[:depth]))}/" '
                              "comes before it")
                    break
            if e.is_directory:
                folders.add(folded(e.name if e.name.endswith(b"/") else e.name + b"/"))
            stored = self.local_data(e)
            if stored is not None and e.method in (0, 8) and not encrypted:
                self.check_data(e, stored)

        wanted = main_executable.encode(NAME_ENCODING)
        if not any(e.name == wanted and not e.is_directory for e in self.entries):
            near = [e for e in self.entries
                    if components(e.name)[-1].upper() == wanted.upper() or e.name == wanted]
            for e in near:
                self.fail("main-executable", e,
                          f'the main executable must be the file "{main_executable}" at the top level')
            if not near:
                self.fail("main-executable", None, f'no entry is named "{main_executable}"')
        return self.problems


def check(data, main_executable="Quorvane.exe"):
    return Archive(data).check(main_executable)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("archive")
    parser.add_argument("--main-executable", default="Quorvane.exe")
    parser.add_argument("--stamp")
    args = parser.parse_args(argv)
    sys.stderr.reconfigure(errors="backslashreplace")
    try:
        with open(args.archive, "rb") as f:
            data = f.read()
    except OSError as e:
        print(f"check_payload: {args.archive}: {e.strerror}", file=sys.stderr)
        return 1
    if args.stamp and os.path.exists(args.stamp):
        os.remove(args.stamp)
    problems = check(data, args.main_executable)
    for p in problems:
        print(f"check_payload: {args.archive}: {p}", file=sys.stderr)
    if problems:
        return 1
    if args.stamp:
        with open(args.stamp, "w") as f:
            f.write("checked\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
