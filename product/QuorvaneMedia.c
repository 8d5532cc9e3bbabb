/* QuorvaneMedia.dll: the media formats Quorvane knows. Its lookup tables travel with the
   library file. */
#include <string.h>

static const char* const formats[] = {"png", "jpeg", "gif", "webp", "mp3", "ogg", "flac", "mp4"};

__declspec(dllexport) int QvMediaFormatCount(void) { return (int)(sizeof formats / sizeof formats[0]); }

/* The short name of format index, or an empty text outside the list. */
__declspec(dllexport) const char* QvMediaFormatName(int index) {
    return index >= 0 && index < QvMediaFormatCount() ? formats[index] : "";
}

/* The index of the format named name (lower case), or -1. */
__declspec(dllexport) int QvMediaFindFormat(const char* name) {
    for (int i = 0; i < QvMediaFormatCount(); ++i)
        if (strcmp(formats[i], name) == 0) return i;
    return -1;
}
