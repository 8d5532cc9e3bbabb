/* Quorvane.exe: the product's main program, one ordinary window that names the product. */
#include <stdio.h>
#include <windows.h>

#include "QuorvaneCore.h"
#include "QuorvaneRender.h"

static void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    QvRenderGradient(dc, &client, RGB(0x1E, 0x5A, 0x96), RGB(0x0B, 0x23, 0x3D));

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    HFONT title = CreateFontA(40, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
    HGDIOBJ old = SelectObject(dc, title);
    RECT upper = client;
    upper.bottom = client.bottom / 2 + 10;
    DrawTextA(dc, QvProductName(), -1, &upper, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(title);

    char line[64];
    snprintf(line, sizeof line, "%s %s", QvProductName(), QvVersion());
    RECT lower = client;
    lower.top = client.bottom / 2 + 20;
    DrawTextA(dc, line, -1, &lower, DT_CENTER | DT_TOP | DT_SINGLELINE);
    EndPaint(hwnd, &ps);
}

static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_SIZE:
        InvalidateRect(hwnd, NULL, FALSE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)previous;
    (void)commandLine;
    WNDCLASSA wc = {0};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hIcon = LoadIcon(NULL, IDI_APPLICATION);
    wc.lpszClassName = "QuorvaneWindow";
    if (!RegisterClassA(&wc)) return 1;

    const int width = 480, height = 320;
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, QvProductName(), WS_OVERLAPPEDWINDOW,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, NULL, NULL,
                                instance, NULL);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
