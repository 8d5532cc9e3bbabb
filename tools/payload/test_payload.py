#!/usr/bin/env python3
"""Tests of the product archive: its exact layout, its place in installer.exe, the rules the
build checks it against, and that the maker gives the same bytes every time.

    test_payload.py --zip tool.zip [--made] --installer installer.exe --machine i686|x86_64
                    --product-dir DIR --ini-dir DIR

--made says that tool.zip is the archive the maker made (not one given to the build); only
then is its exact layout tested.
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from make_payload import Member, write_zip  # noqa: E402

PYTHON = sys.executable
MAKER = os.path.join(HERE, "make_payload.py")
CHECKER = os.path.join(HERE, "check_payload.py")
MACHINES = {"i686": 0x14C, "x86_64": 0x8664}
ARGS = None

TAG_NTFS, TAG_UNICODE_PATH, TAG_EXTENDED_TIME = 0x000A, 0x7075, 0x5455
FLAG_UTF8, FLAG_DESCRIPTOR = 0x0800, 0x0008


def pe_info(data):
    """Machine, characteristics, subsystem and sections {name: (raw offset, raw size)} of a PE."""
    if data[:2] != b"MZ":
        raise ValueError("no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    machine, count = struct.unpack_from("<HH", data, pe + 4)
    optional_size, characteristics = struct.unpack_from("<HH", data, pe + 20)
    subsystem = struct.unpack_from("<H", data, pe + 24 + 68)[0]
    sections = {}
    for i in range(count):
        name, raw_size, raw = struct.unpack_from("<8s8xII", data, pe + 24 + optional_size + 40 * i)
        sections[name.rstrip(b"\0").decode()] = (raw, raw_size)
    return machine, characteristics, subsystem, sections


def extra_records(field):
    """[(tag, data)] of an extra field; fails on a record that runs past the field."""
    out, o = [], 0
    while o < len(field):
        tag, size = struct.unpack_from("<HH", field, o)
        if o + 4 + size > len(field):
            raise AssertionError(f"extra record {tag:#06x} runs past its field")
        out.append((tag, field[o + 4:o + 4 + size]))
        o += 4 + size
    return out


class Parsed:
    """The archive read field by field, from its end record to each local header."""

    def __init__(self, data):
        self.data = data
        self.end = len(data) - 22 - 335
        (sig, self.disk, self.cd_disk, self.on_disk, self.count, self.cd_size, self.cd_offset,
         self.comment_size) = struct.unpack_from("<IHHHHIIH", data, self.end)
        if sig != 0x06054B50:
            raise AssertionError(f"no end record at {self.end}")
        self.entries = []
        o = self.cd_offset
        for _ in range(self.count):
            fields = struct.unpack_from("<IBBHHHHHIIIHHHHHII", data, o)
            (sig, version, host, needed, flags, method, time, date, crc, csize, usize, name_len,
             extra_len, comment_len, disk, internal, external, local) = fields
            if sig != 0x02014B50:
                raise AssertionError(f"no central record at {o}")
            name = data[o + 46:o + 46 + name_len]
            extra = data[o + 46 + name_len:o + 46 + name_len + extra_len]
            lsig, lneeded, lflags, lmethod, ltime, ldate, lcrc, lcsize, lusize, lname_len, lextra_len = \
                struct.unpack_from("<IHHHHHIIIHH", data, local)
            lname = data[local + 30:local + 30 + lname_len]
            lextra = data[local + 30 + lname_len:local + 30 + lname_len + lextra_len]
            start = local + 30 + lname_len + lextra_len
            self.entries.append(dict(
                version=version, host=host, needed=needed, flags=flags, method=method, time=time,
                date=date, crc=crc, csize=csize, usize=usize, name=name, extra=extra,
                comment_len=comment_len, internal=internal, external=external, local=local,
                local_header=(lsig, lneeded, lflags, lmethod, ltime, ldate, lcrc, lcsize, lusize, lname),
                local_extra=lextra, start=start, stored=data[start:start + csize]))
            o += 46 + name_len + extra_len + comment_len
        self.cd_end = o

    def content(self, i):
        e = self.entries[i]
        return e["stored"] if e["method"] == 0 else zlib.decompress(e["stored"], -15)


class MadeArchive(unittest.TestCase):
    """The archive of this build, byte for byte as it is meant to be."""

    # index: (kind, method, DOS attributes)
    ROLES = [("dll", 8, 0x20), ("exe", 8, 0x20), ("ini", 8, 0x20), ("folder", 0, 0x10),
             ("ini in folder", 8, 0x20), ("dll", 8, 0x21), ("main", 8, 0x20), ("dll", 8, 0x20),
             ("dll", 8, 0x20)]

    @classmethod
    def setUpClass(cls):
        if not ARGS.made:
            raise unittest.SkipTest("the build carries a given archive")
        with open(ARGS.zip, "rb") as f:
            cls.data = f.read()
        cls.zip = Parsed(cls.data)

    def test_sizes_and_end_record(self):
        z = self.zip
        self.assertEqual(len(self.data), 3_283_319)
        self.assertEqual(self.data[:4], b"PK\x03\x04")
        self.assertEqual((z.disk, z.cd_disk, z.on_disk, z.count), (0, 0, 9, 9))
        self.assertEqual((z.cd_offset, z.cd_size), (3_282_144, 818))
        self.assertEqual(z.cd_end, z.cd_offset + z.cd_size, "central records do not fill the directory")
        self.assertEqual(z.cd_end, z.end, "bytes between the central directory and its end record")
        self.assertEqual(z.comment_size, 335)
        self.assertEqual(z.end + 22 + z.comment_size, len(self.data))

    def test_entries_follow_each_other_from_offset_zero(self):
        expected = 0
        for i, e in enumerate(self.zip.entries):
            self.assertEqual(e["local"], expected, f"entry {i}")
            expected = e["start"] + e["csize"]
        self.assertEqual(expected, self.zip.cd_offset, "gap before the central directory")

    def test_local_headers_match_central_records(self):
        for i, e in enumerate(self.zip.entries):
            self.assertEqual(e["local_header"], (0x04034B50, e["needed"], e["flags"], e["method"], e["time"],
                                                 e["date"], e["crc"], e["csize"], e["usize"], e["name"]),
                             f"entry {i}")

    def test_roles_methods_and_attributes(self):
        entries = self.zip.entries
        folder = entries[3]["name"]
        for i, (kind, method, attributes) in enumerate(self.ROLES):
            e, name = entries[i], entries[i]["name"]
            with self.subTest(entry=i, kind=kind):
                self.assertEqual(e["method"], method)
                self.assertEqual(e["external"], attributes)
                if kind == "folder":
                    self.assertTrue(name.endswith(b"/") and name.count(b"/") == 1, name)
                    self.assertEqual((e["csize"], e["usize"]), (0, 0))
                elif kind == "ini in folder":
                    self.assertTrue(name.startswith(folder) and b"/" not in name[len(folder):], name)
                    self.assertTrue(name.endswith(b".ini"), name)
                else:
                    self.assertNotIn(b"/", name)
                    suffix = {"dll": b".dll", "exe": b".exe", "ini": b".ini", "main": b".exe"}[kind]
                    self.assertTrue(name.endswith(suffix), name)
        self.assertEqual(entries[6]["name"], b"Quorvane.exe")
        self.assertNotEqual(entries[1]["name"], b"Quorvane.exe")

    def test_flags_and_made_by(self):
        entries = self.zip.entries
        for i, e in enumerate(entries):
            with self.subTest(entry=i):
                self.assertIn(e["flags"], (0, 2))
                self.assertIn(e["version"], (20, 31), "made by 2.0 or 3.1")
                self.assertEqual(e["host"], 0, "made on a DOS or Windows host")
                self.assertEqual(e["external"] >> 16, 0)
                self.assertEqual(e["comment_len"], 0)
        flagged = [i for i, e in enumerate(entries) if e["flags"] == 2]
        self.assertEqual(len(flagged), 1)
        self.assertEqual(entries[flagged[0]]["method"], 8)

    def test_extra_records(self):
        entries = self.zip.entries
        with_ntfs = []
        for i, e in enumerate(entries):
            central = extra_records(e["extra"])
            local = extra_records(e["local_extra"])
            tags = [t for t, _ in central]
            with self.subTest(entry=i):
                self.assertNotIn(TAG_EXTENDED_TIME, tags + [t for t, _ in local])
                self.assertNotIn(TAG_NTFS, [t for t, _ in local])
                for tag, body in central:
                    if tag == TAG_NTFS:
                        self.assertEqual(len(body), 32)
                        self.assertEqual(struct.unpack_from("<IHH", body), (0, 1, 24))
                if i == 6:
                    expected = [(TAG_UNICODE_PATH,
                                 struct.pack("<BI", 1, zlib.crc32(b"Quorvane.exe")) + b"Quorvane.exe")]
                    self.assertEqual([r for r in central if r[0] == TAG_UNICODE_PATH], expected)
                    self.assertEqual(local, expected)
                else:
                    self.assertNotIn(TAG_UNICODE_PATH, tags)
                    self.assertEqual(local, [])
            if TAG_NTFS in tags:
                with_ntfs.append(i)
        self.assertEqual(len(with_ntfs), 7, with_ntfs)

    def test_names_are_gbk_without_the_utf8_flag(self):
        for i, e in enumerate(self.zip.entries):
            with self.subTest(entry=i):
                e["name"].decode("gbk")
                self.assertFalse(e["flags"] & FLAG_UTF8)
                self.assertFalse(e["flags"] & FLAG_DESCRIPTOR)

    def test_programs_and_libraries_are_pe_files_for_this_build(self):
        machine = MACHINES[ARGS.machine]
        for i, (kind, _, _) in enumerate(self.ROLES):
            if kind not in ("dll", "exe", "main"):
                continue
            with self.subTest(entry=i, kind=kind):
                m, characteristics, subsystem, _ = pe_info(self.zip.content(i))
                self.assertEqual(m, machine)
                self.assertEqual(bool(characteristics & 0x2000), kind == "dll", "DLL flag")
                if kind != "dll":
                    self.assertEqual(subsystem, 2, "not a Windows GUI program")

    def test_extracts_cleanly(self):
        with zipfile.ZipFile(ARGS.zip, metadata_encoding="gbk") as z:
            self.assertIsNone(z.testzip())
            with tempfile.TemporaryDirectory() as out:
                z.extractall(out)
                top = sorted(os.listdir(out))
                folders = [n for n in top if os.path.isdir(os.path.join(out, n))]
                self.assertEqual(len(top), 8, top)
                self.assertEqual(folders, ["themes"])
                self.assertIn("Quorvane.exe", top)
                self.assertEqual(os.listdir(os.path.join(out, "themes")), ["默认.ini"])

    @unittest.skipUnless(shutil.which("unzip"), "unzip is not installed")
    def test_unzip_tests_it_without_errors(self):
        run = subprocess.run(["unzip", "-tq", ARGS.zip], capture_output=True, text=True, errors="replace")
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)


class EmbeddedPayload(unittest.TestCase):
    def test_installer_holds_the_archive_as_a_byte_set_in_read_only_data(self):
        with open(ARGS.zip, "rb") as f:
            archive = f.read()
        with open(ARGS.installer, "rb") as f:
            exe = f.read()
        machine, _, _, sections = pe_info(exe)
        self.assertEqual(machine, MACHINES[ARGS.machine])
        self.assertIn(".rdata", sections)
        raw, size = sections[".rdata"]
        rdata = exe[raw:raw + size]
        block = struct.pack("<II", 1, len(archive)) + archive
        self.assertEqual(rdata.count(block), 1, "the byte set is not in .rdata exactly once")


def text(name):
    return name if isinstance(name, bytes) else name.encode("gbk")


def file(name, data=b"[Main]\r\nValue=1\r\n", **fields):
    return Member(name=text(name), data=data, **fields)


def folder(name, **fields):
    return Member(name=text(name), method=0, needed=10, external=0x10, **fields)


# A GBK character whose second byte is "\": it must not be taken for a separator.
BACKSLASH_TRAIL = b"\x81\x5c"


def good():
    return [file("Quorvane.exe", b"MZ" + bytes(200)), folder("data/"),
            file(b"data/" + BACKSLASH_TRAIL + b".ini"), file("data/默认.ini"), folder("data/sub/"),
            file("data/sub/a.ini", method=0), file("readme.ini")]


def plus(member):
    return lambda: good() + [member]


def changed(index, **fields):
    def build():
        members = good()
        for key, value in fields.items():
            setattr(members[index], key, value)
        return members
    return build


def patched(offset, value):
    """The good archive with bytes replaced at offset(archive)."""
    def build():
        data = bytearray(write_zip(good()))
        at = offset(bytes(data))
        data[at:at + len(value)] = value
        return bytes(data)
    return build


def local_field(name, field_offset):
    """Where a field of the local header of the entry called name lies (its name follows the
    30-byte header, and the first occurrence of the name is there)."""
    return lambda data: data.index(text(name)) - 30 + field_offset


def without(*indices):
    return lambda: [m for i, m in enumerate(good()) if i not in indices]


def reordered(*order):
    return lambda: [good()[i] for i in order]


# (rule, the entry the message must name (None: the archive), the archive or its members)
BAD = [
    ("local-header-first", None, lambda: b"\0" * 16 + write_zip(good())),
    ("local-header-first", "Quorvane.exe", patched(lambda data: 26, b"\x00\x80")),
    ("local-header", "readme.ini", patched(local_field("readme.ini", 8), b"\x00\x00")),
    ("directory-order", b"data/" + BACKSLASH_TRAIL + b".ini", reordered(0, 2, 1, 3, 4, 5, 6)),
    ("directory-order", "data/sub/a.ini", without(4)),
    ("directory-attribute", "data/sub/", changed(4, external=0x20)),
    ("method", "readme.ini", changed(6, method=12, compressed=b"[Main]\r\nValue=1\r\n")),
    ("encryption", "readme.ini", changed(6, flags=1)),
    ("utf8-flag", "readme.ini", changed(6, flags=FLAG_UTF8)),
    ("name-encoding", b"data/\xff.ini", plus(file(b"data/\xff.ini"))),
    ("entry-data", "data/sub/a.ini", changed(5, crc=0x12345678)),
    ("entry-data", "readme.ini", changed(6, compressed=b"\x05\x07\xff\xff\xff")),
    ("main-executable", None, changed(0, name=b"Program.exe")),
    ("main-executable", "data/Quorvane.exe", changed(0, name=b"data/Quorvane.exe")),
    ("main-executable", "quorvane.exe", changed(0, name=b"quorvane.exe")),
    ("main-executable", "Quorvane.exe/", lambda: [folder("Quorvane.exe/")] + good()[1:]),
    ("at-least-one-entry", None, lambda: write_zip([])),
    ("central-directory", None, lambda: write_zip(good())[:-10]),
] + [("unsafe-name", name, plus(file(name))) for name in (
    "", "data/../evil.ini", "../evil.ini", "./a.ini", "data/./a.ini", "data//a.ini", "/root.ini", "\\root.ini",
    b"data\\..\\evil.ini", "C:evil.ini", "data/a:b.ini", "data/bad\x01.ini", "data/tab\t.ini",
    "CON", "con.txt", "data/PRN.ini", "AUX.tar.gz", "NUL", "COM0", "com9.log", "LPT1", "data/lpt9.ini",
    "data/dot.", "data/space ", "data/ends./a.ini", "a?b.ini", "a*b.ini", "x" * 260)]


def shown(name):
    """The name as the checker prints it: GBK, with unprintable characters escaped."""
    return "".join(c if c.isprintable() else f"\\x{ord(c):02x}"
                   for c in text(name).decode("gbk", "backslashreplace"))


class CheckerRules(unittest.TestCase):
    """Each rule refuses an archive that breaks it and names the entry that does."""

    def run_checker(self, archive, *options):
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "tool.zip")
            with open(path, "wb") as f:
                f.write(archive)
            stamp = os.path.join(work, "checked")
            run = subprocess.run([PYTHON, CHECKER, "--stamp", stamp, *options, path],
                                 capture_output=True, text=True, errors="replace")
            return run.returncode, run.stdout + run.stderr, os.path.exists(stamp)

    def test_bad_archives(self):
        for rule, entry, build in BAD:
            made = build()
            archive = made if isinstance(made, bytes) else write_zip(made)
            with self.subTest(rule=rule, entry=entry):
                code, output, stamped = self.run_checker(archive)
                self.assertEqual(code, 1, output)
                self.assertFalse(stamped)
                if entry is None:
                    expected = f'rule "{rule}" broken by the archive'
                else:
                    names = [m.name for m in made] if not isinstance(made, bytes) else \
                        [m.name for m in good()]
                    index = names.index(text(entry))
                    expected = f'rule "{rule}" broken by entry {index} "{shown(entry)}"'
                self.assertIn(expected, output)

    def test_good_archive(self):
        code, output, stamped = self.run_checker(write_zip(good()))
        self.assertEqual((code, output), (0, ""))
        self.assertTrue(stamped)

    def test_main_executable_is_the_one_asked_for(self):
        code, output, _ = self.run_checker(write_zip(good()), "--main-executable", "Other.exe")
        self.assertEqual(code, 1)
        self.assertIn('rule "main-executable" broken by the archive', output)

    def test_archive_of_this_build_passes(self):
        with open(ARGS.zip, "rb") as f:
            code, output, _ = self.run_checker(f.read())
        self.assertEqual((code, output), (0, ""))


class Maker(unittest.TestCase):
    def make(self, out, product_dir=None):
        return subprocess.run([PYTHON, MAKER, "--product-dir", product_dir or ARGS.product_dir,
                               "--ini-dir", ARGS.ini_dir, "--out", out],
                              capture_output=True, text=True)

    def test_same_inputs_give_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as work:
            outputs = []
            for run in ("first", "second"):
                path = os.path.join(work, f"{run}.zip")
                result = self.make(path)
                self.assertEqual(result.returncode, 0, result.stderr)
                with open(path, "rb") as f:
                    outputs.append(f.read())
            self.assertEqual(outputs[0], outputs[1])
            if ARGS.made:
                with open(ARGS.zip, "rb") as f:
                    self.assertEqual(outputs[0], f.read(), "the build's archive differs")

    def test_fails_loudly_when_the_product_is_too_large(self):
        with tempfile.TemporaryDirectory() as work:
            product = os.path.join(work, "product")
            shutil.copytree(ARGS.product_dir, product)
            with open(os.path.join(product, "QuorvaneUpdate.exe"), "wb") as f:
                f.write(os.urandom(3_300_000))
            out = os.path.join(work, "tool.zip")
            result = self.make(out, product)
            self.assertEqual(result.returncode, 1)
            self.assertIn("too large", result.stderr)
            self.assertFalse(os.path.exists(out))


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--zip", required=True)
    parser.add_argument("--made", action="store_true")
    parser.add_argument("--installer", required=True)
    parser.add_argument("--machine", required=True, choices=sorted(MACHINES))
    parser.add_argument("--product-dir", required=True)
    parser.add_argument("--ini-dir", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
