/* QuorvaneUpdate.exe: the product's update check. This release is the newest, so it says so. */
#include <stdio.h>
#include <windows.h>

#include "QuorvaneCore.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    char text[128], caption[64];
    snprintf(text, sizeof text, "%s %s 已是最新版本。", QvProductName(), QvVersion());
    snprintf(caption, sizeof caption, "%s 更新", QvProductName());
    MessageBoxA(NULL, text, caption, MB_OK | MB_ICONINFORMATION);
    return 0;
}
