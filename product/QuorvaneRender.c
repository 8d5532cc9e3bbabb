/* QuorvaneRender.dll: drawing helpers for Quorvane's windows. */
#define QUORVANE_RENDER_BUILD
#include "QuorvaneRender.h"

/* One band per pixel row; inside the loop height is at least 1. */
void QvRenderGradient(HDC dc, const RECT* rect, COLORREF top, COLORREF bottom) {
    const int height = rect->bottom - rect->top;
    for (int y = 0; y < height; ++y) {
        const int r = GetRValue(top) + (GetRValue(bottom) - GetRValue(top)) * y / height;
        const int g = GetGValue(top) + (GetGValue(bottom) - GetGValue(top)) * y / height;
        const int b = GetBValue(top) + (GetBValue(bottom) - GetBValue(top)) * y / height;
        HBRUSH brush = CreateSolidBrush(RGB(r, g, b));
        RECT band = {rect->left, rect->top + y, rect->right, rect->top + y + 1};
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
}
