"""Inspects the product's program file: a 32-bit GUI program that needs only system DLLs."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from pe import PeFile  # noqa: E402

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll",
    "comctl32.dll", "advapi32.dll", "msvcrt.dll", "shlwapi.dll", "comdlg32.dll", "uuid.dll",
}
EXE = None


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


if __name__ == "__main__":
    EXE = sys.argv.pop(1)
    unittest.main(verbosity=2)
