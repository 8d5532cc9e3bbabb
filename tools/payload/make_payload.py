#!/usr/bin/env python3
"""Makes tool.zip, the product archive that the installer carries.

The archive has a fixed shape: nine entries in a fixed order with fixed names, DOS times and
attributes, and fixed sizes (central directory of 818 bytes at offset 3,282,144, 3,283,319
bytes in all). The compiled product files differ from compiler to compiler, so the media
library is padded with deterministic, incompressible bytes, and the length of that padding is
solved for so that the compressed sizes add up exactly. The same inputs always give the same
bytes.

    make_payload.py --product-dir DIR --ini-dir DIR --out tool.zip

DIR for --product-dir holds the built programs and libraries under their archive names;
--ini-dir holds the INI sources (UTF-8, written into the archive as GBK with CRLF line ends).
"""
import argparse
import dataclasses
import datetime
import hashlib
import os
import struct
import sys
import zlib

ENTRY_COUNT = 9
CENTRAL_OFFSET = 3_282_144
CENTRAL_SIZE = 818
COMMENT_SIZE = 335
ARCHIVE_SIZE = 3_283_319

# Names are stored in the installer's ANSI code page, without the UTF-8 flag.
NAME_ENCODING = "gbk"

COMMENT = (
    "Quorvane 3.2.0 for Windows\r\n"
    "\r\n"
    "This archive holds the program files of Quorvane: the main program Quorvane.exe,\r\n"
    "its update check, its libraries and its settings. The Quorvane installer unpacks\r\n"
    "it into the install folder that the user chooses. Nothing in it needs to be\r\n"
    "registered or changed by hand.\r\n"
    "\r\n"
    "Quorvane 3.2.0, 18 March 2024."
).encode("ascii")

# General-purpose flag bit 1 on a deflated entry: made with maximum compression.
FLAG_MAXIMUM = 0x0002
DOS_READ_ONLY = 0x01
DOS_DIRECTORY = 0x10
DOS_ARCHIVE = 0x20
INTERNAL_TEXT = 0x0001

# Version made by: low byte the version (2.0 or 3.1), high byte the host system (0, MS-DOS and
# Windows), so the upper half of every external attribute is free of Unix mode bits.
MADE_BY_20 = 20
MADE_BY_31 = 31
NEEDED_STORED = 10
NEEDED_DEFLATE = 20

TAG_NTFS = 0x000A
TAG_UNICODE_PATH = 0x7075

PAD_SEED = b"QuorvaneMedia format tables"


@dataclasses.dataclass
class Member:
    """One entry exactly as it is written: every header field is given."""
    name: bytes
    data: bytes = b""
    method: int = 8
    flags: int = 0
    made_by: int = MADE_BY_31
    needed: int = NEEDED_DEFLATE
    dos_time: int = 0
    dos_date: int = 0x21
    internal: int = 0
    external: int = DOS_ARCHIVE
    local_extra: bytes = b""
    central_extra: bytes = b""
    level: int = 6
    compressed: bytes | None = None  # the stored data; made from data when not given
    crc: int | None = None  # crc32 of data when not given

    def payload(self):
        if self.compressed is not None:
            return self.compressed
        return deflate(self.data, self.level) if self.method == 8 else self.data


def deflate(data, level):
    co = zlib.compressobj(level, zlib.DEFLATED, -15, 8, zlib.Z_DEFAULT_STRATEGY)
    return co.compress(data) + co.flush()


def write_zip(members, comment=b""):
    """The bytes of a single-disk ZIP file holding members in order, with comment at its end."""
    out = bytearray()
    central = bytearray()
    for m in members:
        payload = m.payload()
        crc = zlib.crc32(m.data) if m.crc is None else m.crc
        offset = len(out)
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, m.needed, m.flags, m.method, m.dos_time,
                           m.dos_date, crc, len(payload), len(m.data), len(m.name),
                           len(m.local_extra))
        out += m.name + m.local_extra + payload
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, m.made_by, m.needed, m.flags,
                               m.method, m.dos_time, m.dos_date, crc, len(payload), len(m.data),
                               len(m.name), len(m.central_extra), 0, 0, m.internal, m.external,
                               offset)
        central += m.name + m.central_extra
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(members), len(members), len(central),
                      len(out), len(comment))
    return bytes(out + central + end + comment)


def dos_time(when):
    return (when.hour << 11) | (when.minute << 5) | (when.second // 2)


def dos_date(when):
    return ((when.year - 1980) << 9) | (when.month << 5) | when.day


def file_time(when):
    """100-ns ticks since 1601-01-01, the clock time taken as UTC."""
    delta = when - datetime.datetime(1601, 1, 1)
    return (delta.days * 86400 + delta.seconds) * 10_000_000 + delta.microseconds * 10


def ntfs_extra(written, created):
    """NTFS times record: modification, access and creation time as FILETIME ticks."""
    body = struct.pack("<IHHQQQ", 0, 1, 24, file_time(written), file_time(written), file_time(created))
    return struct.pack("<HH", TAG_NTFS, len(body)) + body


def unicode_path_extra(stored_name, name):
    """Unicode path record: version 1, CRC-32 of the stored name, the name in UTF-8."""
    body = struct.pack("<BI", 1, zlib.crc32(stored_name)) + name.encode("utf-8")
    return struct.pack("<HH", TAG_UNICODE_PATH, len(body)) + body


@dataclasses.dataclass
class EntryPlan:
    """One entry of the product layout."""
    name: str
    written: datetime.datetime
    source: str | None = None  # file under --product-dir, or INI under --ini-dir
    ini: bool = False
    directory: bool = False
    read_only: bool = False
    maximum: bool = False  # deflated at the strongest level, flagged as such
    unicode_path: bool = False
    ntfs: bool = True  # the NTFS times record in the central record; the entries with it are made by 3.1
    padded: bool = False  # the library whose padding makes the sizes add up


def _at(*fields):
    return datetime.datetime(*fields)


# The product as installed: seven files at the top, one folder holding one file. The theme
# folder comes from an older packing tool (made by 2.0, no NTFS times).
LAYOUT = [
    EntryPlan("QuorvaneCore.dll", _at(2024, 3, 18, 9, 41, 6), source="QuorvaneCore.dll"),
    EntryPlan("QuorvaneUpdate.exe", _at(2024, 3, 18, 9, 41, 10), source="QuorvaneUpdate.exe"),
    EntryPlan("Quorvane.ini", _at(2024, 3, 15, 16, 2, 44), source="Quorvane.ini", ini=True),
    EntryPlan("themes/", _at(2023, 11, 2, 10, 20, 0), directory=True, ntfs=False),
    EntryPlan("themes/默认.ini", _at(2023, 11, 2, 10, 19, 52), source="theme-default.ini", ini=True,
         ntfs=False),
    EntryPlan("QuorvaneRender.dll", _at(2024, 3, 18, 9, 41, 8), source="QuorvaneRender.dll", read_only=True),
    EntryPlan("Quorvane.exe", _at(2024, 3, 18, 9, 41, 12), source="Quorvane.exe", maximum=True,
         unicode_path=True),
    EntryPlan("QuorvaneSync.dll", _at(2024, 3, 18, 9, 41, 8), source="QuorvaneSync.dll"),
    EntryPlan("QuorvaneMedia.dll", _at(2024, 3, 18, 9, 41, 14), source="QuorvaneMedia.dll", padded=True),
]
CREATED = _at(2024, 1, 8, 14, 30, 0)


class SizeError(Exception):
    pass


def read_source(plan, product_dir, ini_dir):
    if plan.directory:
        return b""
    if plan.ini:
        with open(os.path.join(ini_dir, plan.source), encoding="utf-8") as f:
            text = f.read()
        return text.replace("\r\n", "\n").replace("\n", "\r\n").encode(NAME_ENCODING)
    with open(os.path.join(product_dir, plan.source), "rb") as f:
        return f.read()


def member_of(plan, data):
    name = plan.name.encode(NAME_ENCODING)
    m = Member(name=name, data=data, dos_time=dos_time(plan.written), dos_date=dos_date(plan.written))
    if plan.directory:
        m.method, m.needed, m.external = 0, NEEDED_STORED, DOS_DIRECTORY
    if plan.read_only:
        m.external |= DOS_READ_ONLY
    if plan.ini:
        m.internal = INTERNAL_TEXT
    if plan.maximum:
        m.flags, m.level = FLAG_MAXIMUM, 9
    m.made_by = MADE_BY_31 if plan.ntfs else MADE_BY_20
    if plan.ntfs:
        m.central_extra += ntfs_extra(plan.written, CREATED)
    if plan.unicode_path:
        record = unicode_path_extra(name, plan.name)
        m.local_extra += record
        m.central_extra += record
    return m


def solve_padding(base, target, level):
    """Bytes to append to base so that base + them deflates to exactly target bytes.

    The padding is a run of zero bytes (a second knob for when the compressed size steps over
    the target) followed by pseudo-random bytes, which deflate stores nearly one for one.
    """
    unpadded = len(deflate(base, level))
    if unpadded > target:
        raise SizeError(f"the product files are too large: the media library deflates to {unpadded} "
                        f"bytes before any padding, and the other entries leave {target} for it")
    noise = hashlib.shake_256(PAD_SEED).digest(target + 65536)
    window = 256
    # Where the compressed size skips the target, a few more zero bytes move deflate's block
    # boundaries and so the sizes it can reach.
    for zeros in range(0, 4096, 7):
        prefix = base + bytes(zeros)
        n = max(0, target - len(deflate(prefix, level)))
        for _ in range(8):
            size = len(deflate(prefix + noise[:n], level))
            if abs(size - target) <= window // 2:
                break
            n = max(0, n + target - size)
        found = _scan(prefix, noise, max(0, n - window), n + window, target, level)
        if found is not None:
            padding = bytes(zeros) + noise[:found]
            if len(deflate(base + padding, level)) == target:
                return padding
    raise SizeError(f"no padding of the media library deflates to exactly {target} bytes")


def _scan(prefix, noise, low, high, target, level):
    """The first n in [low, high] for which prefix + noise[:n] deflates to target bytes."""
    co = zlib.compressobj(level, zlib.DEFLATED, -15, 8, zlib.Z_DEFAULT_STRATEGY)
    produced = len(co.compress(prefix + noise[:low]))
    for n in range(low, high + 1):
        if n > low:
            produced += len(co.compress(noise[n - 1:n]))
        if produced + len(co.copy().flush()) == target:
            return n
    return None


def build(product_dir, ini_dir):
    members = [member_of(plan, read_source(plan, product_dir, ini_dir)) for plan in LAYOUT]
    if len(members) != ENTRY_COUNT:
        raise SizeError(f"the layout has {len(members)} entries, not {ENTRY_COUNT}")
    if len(COMMENT) != COMMENT_SIZE:
        raise SizeError(f"the archive comment is {len(COMMENT)} bytes, not {COMMENT_SIZE}")
    central = sum(46 + len(m.name) + len(m.central_extra) for m in members)
    if central != CENTRAL_SIZE:
        raise SizeError(f"the central directory would be {central} bytes, not {CENTRAL_SIZE}: "
                        f"names and extra records must add up to {CENTRAL_SIZE - 46 * ENTRY_COUNT}")
    headers = sum(30 + len(m.name) + len(m.local_extra) for m in members)
    padded = next(i for i, plan in enumerate(LAYOUT) if plan.padded)
    for m in members:
        m.compressed = m.payload()
    others = sum(len(m.compressed) for i, m in enumerate(members) if i != padded)
    m = members[padded]
    padding = solve_padding(m.data, CENTRAL_OFFSET - headers - others, m.level)
    m.data += padding
    m.compressed = deflate(m.data, m.level)

    archive = write_zip(members, COMMENT)
    end = len(archive) - 22 - len(COMMENT)
    size, offset = struct.unpack_from("<II", archive, end + 12)
    for what, got, want in (("central directory offset", offset, CENTRAL_OFFSET),
                            ("central directory size", size, CENTRAL_SIZE),
                            ("archive size", len(archive), ARCHIVE_SIZE)):
        if got != want:
            raise SizeError(f"the {what} came out as {got}, not {want}")
    return archive, LAYOUT[padded].name, len(padding)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--product-dir", required=True)
    parser.add_argument("--ini-dir", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args(argv)
    try:
        archive, padded, padding = build(args.product_dir, args.ini_dir)
    except (SizeError, OSError) as e:
        print(f"make_payload: error: {e}", file=sys.stderr)
        return 1
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    temp = args.out + ".part"
    with open(temp, "wb") as f:
        f.write(archive)
    os.replace(temp, args.out)
    print(f"make_payload: {args.out}: {len(archive)} bytes, {ENTRY_COUNT} entries, "
          f"{padded} padded by {padding} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
