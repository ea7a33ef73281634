#pragma once
#include <windows.h>

// Copies `bitmap` unscaled to (0, 0) of `dc`, `size` large, through a memory device context; a
// missing bitmap draws nothing.
inline void DrawBitmapAtOrigin(HDC dc, HBITMAP bitmap, SIZE size)
{
    if (!bitmap)
        return;
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, 0, 0, size.cx, size.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}
