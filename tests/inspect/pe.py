"""A small reader of PE files: headers, imported DLLs and the resource tree."""
import struct


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError("no MZ header")
        self.pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[self.pe:self.pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        coff = self.pe + 4
        self.machine, self.section_count = struct.unpack_from("<HH", d, coff)
        self.optional_size = struct.unpack_from("<H", d, coff + 16)[0]
        self.characteristics = struct.unpack_from("<H", d, coff + 18)[0]
        opt = coff + 20
        self.magic = struct.unpack_from("<H", d, opt)[0]
        self.subsystem = struct.unpack_from("<H", d, opt + 68)[0]
        dirs = opt + (96 if self.magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", d, dirs + 8 * i) for i in range(16)]
        sec = opt + self.optional_size
        self.sections = []
        for i in range(self.section_count):
            name, vsize, va, rsize, raw = struct.unpack_from("<8sIIII", d, sec + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode(), va, max(vsize, rsize), raw, rsize))

    def offset(self, rva):
        for _, va, size, raw, _ in self.sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError(f"rva {rva:#x} outside sections")

    def cstring(self, rva):
        o = self.offset(rva)
        return self.data[o:self.data.index(b"\0", o)].decode()

    def imported_dlls(self):
        rva, _ = self.directories[1]
        names = []
        o = self.offset(rva)
        while True:
            fields = struct.unpack_from("<IIIII", self.data, o)
            if fields == (0, 0, 0, 0, 0):
                return names
            names.append(self.cstring(fields[3]))
            o += 20

    def resources(self):
        """{(type, name, language): bytes}; ids are ints, names are strings."""
        rva, size = self.directories[2]
        if not rva:
            return {}
        base = self.offset(rva)
        d = self.data
        out = {}

        def walk(dir_off, path):
            named, ids = struct.unpack_from("<HH", d, base + dir_off + 12)
            for i in range(named + ids):
                ident, child = struct.unpack_from("<II", d, base + dir_off + 16 + 8 * i)
                if ident & 0x80000000:
                    so = base + (ident & 0x7FFFFFFF)
                    n = struct.unpack_from("<H", d, so)[0]
                    key = d[so + 2:so + 2 + 2 * n].decode("utf-16-le")
                else:
                    key = ident
                if child & 0x80000000:
                    walk(child & 0x7FFFFFFF, path + (key,))
                else:
                    data_rva, data_size = struct.unpack_from("<II", d, base + child)
                    o = self.offset(data_rva)
                    out[path + (key,)] = d[o:o + data_size]

        walk(0, ())
        return out
