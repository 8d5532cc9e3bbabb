#!/usr/bin/env python3
"""Writes the fuzz target's seed archives into corpus/: small, each showing one kind of entry."""
import io
import struct
import zipfile
from pathlib import Path

out = Path(__file__).resolve().parent / "corpus"
out.mkdir(exist_ok=True)


def archive(entries, **options):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", **options) as z:
        for name, data, extra, method in entries:
            info = zipfile.ZipInfo(name, (2021, 6, 15, 12, 34, 56))
            info.compress_type = method
            info.extra = extra
            info.external_attr = 0x10 if name.endswith("/") else 0x20
            z.writestr(info, data)
    return buffer.getvalue()


def ut(flags, *values):
    body = bytes([flags]) + b"".join(struct.pack("<i", v) for v in values)
    return b"UT" + struct.pack("<H", len(body)) + body


D, S = zipfile.ZIP_DEFLATED, zipfile.ZIP_STORED
seeds = {
    "deflate-with-folder": [("data/", b"", b"", S), ("data/core.dat", b"core " * 40, b"", D), ("readme.txt", b"hello", b"", D)],
    "stored": [("a.bin", bytes(range(64)), b"", S)],
    "ut-record": [("t.txt", b"times", ut(7, 1000000000, -1, 1200000000), D)],
    "ut-short": [("t.txt", b"times", ut(7, 1000000000)[:7], D)],
    "hostile-names": [("ok.txt", b"ok", b"", D), ("../evil.txt", b"evil", b"", D), ("C:evil", b"x", b"", S)],
}
for name, entries in seeds.items():
    (out / f"{name}.zip").write_bytes(archive(entries))

# Names as GBK bytes without the UTF-8 flag, one with a second byte 0x5C: written with ASCII
# stand-ins of the same length, then replaced byte for byte.
gbk = archive([("AAAA/", b"", b"", S), ("AAAA/BB.txt", b"x", b"", D)])
gbk = gbk.replace(b"AAAA", "\u8f6f\u4ef6".encode("gbk")).replace(b"BB", b"\x81\x5c")
(out / "gbk-names.zip").write_bytes(gbk)

# An encrypted entry: general-purpose flag bit 0 in both headers.
enc = bytearray(archive([("secret.txt", b"secret data", b"", D)]))
enc[6] |= 1
central = enc.rfind(b"PK\x01\x02")
enc[central + 8] |= 1
(out / "encrypted-flag.zip").write_bytes(bytes(enc))



# Sizes and CRC in a data descriptor after the data (flag bit 3), as a stream writer leaves them.
class Unseekable(io.RawIOBase):
    def __init__(self):
        self.data = bytearray()

    def writable(self):
        return True

    def write(self, b):
        self.data += b
        return len(b)


stream = Unseekable()
with zipfile.ZipFile(stream, "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("streamed.txt", b"streamed " * 20)
(out / "data-descriptor.zip").write_bytes(bytes(stream.data))

z64 = io.BytesIO()
with zipfile.ZipFile(z64, "w", zipfile.ZIP_DEFLATED) as z:
    with z.open("big.txt", "w", force_zip64=True) as f:
        f.write(b"zip64 " * 20)
(out / "zip64-entry.zip").write_bytes(z64.getvalue())
