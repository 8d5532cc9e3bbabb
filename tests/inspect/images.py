"""Readers of the picture formats the installer carries: baseline JPEG and icon images."""
import struct


def jpeg_segments(data):
    """[(marker, payload)] of a JPEG's header segments, up to the start of the scan."""
    if data[:2] != b"\xff\xd8":
        raise ValueError("no JPEG start marker")
    segments = []
    o = 2
    while True:
        if o + 4 > len(data) or data[o] != 0xFF:
            raise ValueError(f"no marker at {o}")
        marker = data[o + 1]
        length = struct.unpack_from(">H", data, o + 2)[0]
        segments.append((marker, data[o + 4:o + 2 + length]))
        if marker == 0xDA:
            return segments
        o += 2 + length


def jpeg_frame(data):
    """(frame marker, precision, width, height, components) of a JPEG's frame header."""
    for marker, payload in jpeg_segments(data):
        # Frame headers are C0..CF except DHT (C4), JPG (C8) and DAC (CC).
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            precision, height, width, components = struct.unpack_from(">BHHB", payload, 0)
            return marker, precision, width, height, components
    raise ValueError("no frame header")


def icon_image(data):
    """(width, height, bit count, alpha values) of one icon image stored as a DIB."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        raise ValueError("PNG icon image, not a DIB")
    size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 0)
    if size != 40 or planes != 1 or compression != 0:
        raise ValueError("unexpected icon bitmap header")
    if height != 2 * width:  # the colour rows and the mask rows
        raise ValueError(f"icon height {height} for width {width}")
    alphas = set()
    if bits == 32:
        pixels = data[size:size + width * width * 4]
        alphas = set(pixels[3::4])
    return width, height // 2, bits, alphas


def icon_file(data):
    """[(width, height, bit count, image bytes)] of an .ico file; a width of 0 means 256."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError("not an icon file")
    images = []
    for i in range(count):
        w, h, _, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images.append((w or 256, h or 256, bits, data[offset:offset + size]))
    return images
