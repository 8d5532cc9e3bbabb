/* Drawing helpers of QuorvaneRender.dll. */
#ifndef QUORVANE_RENDER_H
#define QUORVANE_RENDER_H

#include <windows.h>

#ifdef QUORVANE_RENDER_BUILD
#define QUORVANE_RENDER_API __declspec(dllexport)
#else
#define QUORVANE_RENDER_API __declspec(dllimport)
#endif

/* Fills rect with a vertical gradient from the top colour to the bottom colour. */
QUORVANE_RENDER_API void QvRenderGradient(HDC dc, const RECT* rect, COLORREF top, COLORREF bottom);

#endif
