"""Checks the committed pictures: the formats and sizes the window's decoders accept."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from images import icon_file, icon_image, jpeg_frame, jpeg_segments  # noqa: E402

ART = os.path.join(os.path.dirname(__file__), "..", "..", "ui", "art")

JPEGS = [
    ("install-button.jpg", 220, 80),
    ("install-button-hot.jpg", 220, 80),
    ("completion.jpg", 220, 80),
    ("flame-logo.jpg", 424, 534),
    ("letter-logo.jpg", 250, 256),
    ("close-button.jpg", 27, 22),
    ("close-button-hot.jpg", 27, 22),
    ("close-button-pressed.jpg", 27, 22),
]
ICONS = [
    ("badge.ico", [48]),
    ("application.ico", [128, 96, 72, 64, 48, 32, 24, 16]),
]
BASELINE = 0xC0
APP0 = 0xE0


def read(name):
    with open(os.path.join(ART, name), "rb") as f:
        return f.read()


class Pictures(unittest.TestCase):
    def test_jpegs_are_baseline_8_bit_colour_of_their_size(self):
        for name, width, height in JPEGS:
            with self.subTest(picture=name):
                data = read(name)
                self.assertEqual(jpeg_frame(data), (BASELINE, 8, width, height, 3))
                # A JFIF header says the three components are YCbCr, not RGB or CMYK.
                self.assertTrue(any(m == APP0 and p.startswith(b"JFIF\0")
                                    for m, p in jpeg_segments(data)), "no JFIF header")

    def test_icons_hold_32_bit_images_with_alpha(self):
        for name, sizes in ICONS:
            images = icon_file(read(name))
            self.assertEqual([w for w, _, _, _ in images], sizes, name)
            for w, h, bits, data in images:
                with self.subTest(icon=name, size=w):
                    self.assertEqual((h, bits), (w, 32))
                    width, height, dib_bits, alphas = icon_image(data)
                    self.assertEqual((width, height, dib_bits), (w, w, 32))
                    # Not all transparent and not all opaque: the alpha channel draws the shape.
                    self.assertEqual(max(alphas), 255)
                    self.assertLess(min(alphas), 255)


if __name__ == "__main__":
    if len(sys.argv) > 1:
        ART = sys.argv.pop(1)
    unittest.main(verbosity=2)
