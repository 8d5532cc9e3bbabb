"""Inspects the product's program file: a 32-bit GUI program that needs only system DLLs."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from images import icon_file, icon_image  # noqa: E402
from pe import RT_GROUP_ICON, RT_ICON, RT_MANIFEST, PeFile  # noqa: E402

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll",
    "comctl32.dll", "advapi32.dll", "msvcrt.dll", "shlwapi.dll", "comdlg32.dll", "uuid.dll",
}
EXE = None
ART = os.path.join(os.path.dirname(__file__), "..", "..", "ui", "art")

VERSION = (6, 0, 0, 0)
VERSION_TEXT = "安装程序"
VERSION_FIELDS = ["FileDescription", "ProductName", "CompanyName", "LegalCopyright", "Comments"]
APPLICATION_ICON_ID = 1  # the window loads the icon by this id
APPLICATION_ICON_SIZES = [128, 96, 72, 64, 48, 32, 24, 16]


class ProgramFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = PeFile(EXE)

    def test_is_pe32_for_i386(self):
        self.assertEqual(self.pe.magic, 0x10B, "not a PE32 optional header")
        self.assertEqual(self.pe.machine, 0x14C, "machine is not i386")

    def test_is_a_gui_program(self):
        self.assertEqual(self.pe.subsystem, 2, "subsystem is not Windows GUI")

    def test_imports_only_system_dlls(self):
        dlls = {n.lower() for n in self.pe.imported_dlls()}
        self.assertTrue(dlls, "no imports at all")
        self.assertLessEqual(dlls, SYSTEM_DLLS, f"non-system DLLs: {sorted(dlls - SYSTEM_DLLS)}")

    def test_version_record(self):
        info = self.pe.version_info()
        self.assertIsNotNone(info, "no version record")
        self.assertEqual(info["file_version"], VERSION)
        self.assertEqual(info["product_version"], VERSION)
        self.assertEqual(len(info["strings"]), 1, f"string tables: {sorted(info['strings'])}")
        (table, strings), = info["strings"].items()
        for field in VERSION_FIELDS:
            with self.subTest(field=field):
                self.assertEqual(strings.get(field), VERSION_TEXT)
        # Readers look the strings up under the language and code page that the translation names.
        self.assertIn((int(table[:4], 16), int(table[4:], 16)), info["translations"])

    def test_application_icon(self):
        groups = self.pe.resources_of_type(RT_GROUP_ICON)
        # Windows shows the first icon group of the directory as the program file's icon.
        self.assertEqual(next(iter(groups), None), APPLICATION_ICON_ID, f"icon groups: {list(groups)}")
        entries = self.pe.icon_group(APPLICATION_ICON_ID)
        self.assertEqual([w for w, _, _, _ in entries], APPLICATION_ICON_SIZES)
        images = self.pe.resources_of_type(RT_ICON)
        with open(os.path.join(ART, "application.ico"), "rb") as f:
            committed = {w: data for w, _, _, data in icon_file(f.read())}
        for w, h, bits, ident in entries:
            with self.subTest(size=w):
                self.assertEqual((h, bits), (w, 32))
                self.assertIn(ident, images, "icon image missing")
                width, height, dib_bits, alphas = icon_image(images[ident])
                self.assertEqual((width, height, dib_bits), (w, w, 32))
                self.assertEqual(max(alphas), 255)
                self.assertLess(min(alphas), 255, "the alpha channel draws no shape")
                # A stale resource object would still carry an older icon.
                self.assertTrue(images[ident] == committed.get(w), "differs from ui/art/application.ico")

    def test_has_no_manifest(self):
        kinds = {path[0] for path in self.pe.resources()}
        self.assertNotIn(RT_MANIFEST, kinds, "an application manifest is linked in")


if __name__ == "__main__":
    EXE = sys.argv.pop(1)
    unittest.main(verbosity=2)
