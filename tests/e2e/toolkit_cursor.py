"""The pointer shape the X server shows at the moment, read through the XFixes extension."""
import ctypes
import ctypes.util


class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong),
                ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def _load(name, fallback):
    return ctypes.CDLL(ctypes.util.find_library(name) or fallback)


def current_cursor(display_name):
    """(width, height, xhot, yhot, pixels) of the cursor on `display_name`."""
    x11 = _load("X11", "libX11.so.6")
    xfixes = _load("Xfixes", "libXfixes.so.3")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(display_name.encode())
    if not display:
        raise RuntimeError(f"cannot open display {display_name}")
    try:
        image = xfixes.XFixesGetCursorImage(display)
        if not image:
            raise RuntimeError("XFixes gave no cursor image")
        c = image.contents
        pixels = tuple(c.pixels[i] & 0xFFFFFFFF for i in range(c.width * c.height))
        shape = (c.width, c.height, c.xhot, c.yhot, pixels)
        x11.XFree(image)
        return shape
    finally:
        x11.XCloseDisplay(display)
