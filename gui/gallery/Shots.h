#pragma once
// What the picture programs share: handling messages for a while, and saving
// the screen around windows as PNG (GDI+), with their draw operations as text.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#include "gui/aqua/win32/Window.h"

namespace Gallery {

// Handles this thread's messages for `ms` milliseconds.
inline void Pump(int ms)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

inline bool SavePng(HBITMAP bitmap, const std::wstring& path)
{
    // The PNG encoder of GDI+.
    const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    Gdiplus::Bitmap image(bitmap, nullptr);
    return image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

// Saves the screen inside `area` grown by `margin` on each side, cut to the
// screen (nothing outside it can be captured).
inline bool ShootArea(RECT area, int margin, const std::wstring& path)
{
    const int x0 = std::max(0, static_cast<int>(area.left) - margin);
    const int y0 = std::max(0, static_cast<int>(area.top) - margin);
    const int x1 = std::min(static_cast<int>(area.right) + margin, GetSystemMetrics(SM_CXSCREEN));
    const int y1 = std::min(static_cast<int>(area.bottom) + margin, GetSystemMetrics(SM_CYSCREEN));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP shot = CreateCompatibleBitmap(screen, x1 - x0, y1 - y0);
    HGDIOBJ old = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, x1 - x0, y1 - y0, screen, x0, y0, SRCCOPY);
    SelectObject(memory, old);
    const bool saved = SavePng(shot, path);
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

// Saves the screen around the visible ones of `windows` (their union).
inline bool Shoot(std::initializer_list<HWND> windows, const std::wstring& path, int margin = 8)
{
    RECT all{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (HWND w : windows) {
        if (!w || !IsWindowVisible(w)) {
            continue;
        }
        RECT r{};
        GetWindowRect(w, &r);
        all.left = std::min(all.left, r.left);
        all.top = std::min(all.top, r.top);
        all.right = std::max(all.right, r.right);
        all.bottom = std::max(all.bottom, r.bottom);
    }
    return ShootArea(all, margin, path);
}

// Saves the screen around one window.
inline bool Capture(HWND window, const std::wstring& path)
{
    return Shoot({window}, path);
}

// Writes the control's draw operations, as it draws now, to `path`.
inline void Dump(const std::wstring& path, GUI::Control& control)
{
    control.Snapshot();
    std::wofstream ops{std::filesystem::path(path)};
    ops << control.lastPaint().Dump();
}

}  // namespace Gallery
