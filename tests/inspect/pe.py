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

    def resources_of_type(self, kind):
        """{name: bytes} of one resource type, whatever the language."""
        return {path[1]: data for path, data in self.resources().items() if path[0] == kind}

    def version_info(self):
        """The version record: fixed versions, string tables and translations; None without one."""
        records = list(self.resources_of_type(RT_VERSION).values())
        if not records:
            return None
        key, value, _, children = _version_node(records[0], 0)
        if key != "VS_VERSION_INFO":
            raise ValueError(f"version record key {key!r}")
        signature, _, fms, fls, pms, pls = struct.unpack_from("<6I", value)
        if signature != 0xFEEF04BD:
            raise ValueError("no fixed file information")
        info = {
            "file_version": (fms >> 16, fms & 0xFFFF, fls >> 16, fls & 0xFFFF),
            "product_version": (pms >> 16, pms & 0xFFFF, pls >> 16, pls & 0xFFFF),
            "strings": {},
            "translations": [],
        }
        for name, _, _, blocks in children:
            if name == "StringFileInfo":
                for table, _, _, strings in blocks:
                    info["strings"][table] = {
                        k: v.decode("utf-16-le").rstrip("\0") for k, v, _, _ in strings}
            elif name == "VarFileInfo":
                for var, v, _, _ in blocks:
                    if var == "Translation":
                        info["translations"] += [struct.unpack_from("<HH", v, i)
                                                 for i in range(0, len(v) - 3, 4)]
        return info

    def icon_group(self, name):
        """[(width, height, bit count, icon id)] of one RT_GROUP_ICON; a width of 0 means 256."""
        d = self.resources_of_type(RT_GROUP_ICON)[name]
        reserved, kind, count = struct.unpack_from("<HHH", d, 0)
        if reserved != 0 or kind != 1:
            raise ValueError("not an icon group")
        entries = []
        for i in range(count):
            w, h, _, _, _, bits, _, ident = struct.unpack_from("<BBBBHHIH", d, 6 + 14 * i)
            entries.append((w or 256, h or 256, bits, ident))
        return entries


RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


def _version_node(d, o):
    """One node of a version record at offset o: (key, value bytes, type, children)."""
    length, value_length, kind = struct.unpack_from("<HHH", d, o)
    end = o + length
    k = o + 6
    while d[k:k + 2] != b"\0\0":
        k += 2
    key = d[o + 6:k].decode("utf-16-le")
    v = (k + 2 + 3) & ~3
    size = value_length * 2 if kind == 1 else value_length  # text values count UTF-16 units
    value = d[v:v + size]
    c = (v + size + 3) & ~3
    children = []
    while c < end:
        children.append(_version_node(d, c))
        c = (c + struct.unpack_from("<H", d, c)[0] + 3) & ~3
    return key, value, kind, children
