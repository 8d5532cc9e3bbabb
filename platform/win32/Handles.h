#pragma once
// Owning aliases for the Win32 handle kinds the installer uses. CreateFileA's
// INVALID_HANDLE_VALUE is turned into a null handle by ownFile() so that all kinds share
// one "no handle" value.
#include <windows.h>

#include "platform/Handle.h"

namespace platform::win32 {

struct CloseKernelHandle {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct DeleteGdiObject {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct DestroyIconHandle {
    void operator()(HICON h) const { DestroyIcon(h); }
};
struct DeleteMemoryDc {
    void operator()(HDC h) const { DeleteDC(h); }
};

using UniqueHandle = Unique<HANDLE, CloseKernelHandle>;
using UniqueGdiObject = Unique<HGDIOBJ, DeleteGdiObject>;
using UniqueBitmap = Unique<HBITMAP, DeleteGdiObject>;
using UniqueFont = Unique<HFONT, DeleteGdiObject>;
using UniqueBrush = Unique<HBRUSH, DeleteGdiObject>;
using UniqueIcon = Unique<HICON, DestroyIconHandle>;
using UniqueMemoryDc = Unique<HDC, DeleteMemoryDc>;

inline UniqueHandle ownFile(HANDLE h) { return UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h); }

}  // namespace platform::win32
