/* QuorvaneSync.dll: checksums that Quorvane uses to compare its synchronised files. */
#include <stddef.h>
#include <stdint.h>

/* Adler-32 of size bytes at data, continued from adler (start with 1). */
__declspec(dllexport) uint32_t QvSyncChecksum(uint32_t adler, const unsigned char* data, size_t size) {
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}
