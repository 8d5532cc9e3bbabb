#pragma once
// The product archive that the installer carries: a ZIP file held whole in the program file's
// read-only data as the byte set `Payload`, embedded by the build (product/CMakeLists.txt).
#include "platform/Types.h"

extern "C" const platform::ByteSetBlock Payload;

// The archive's bytes, exactly as they are written to tool.zip.
inline platform::Bytes PayloadBytes() { return platform::bytesOf(Payload); }
