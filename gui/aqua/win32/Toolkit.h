#pragma once
// What every skinned window shares: the GDI+ session, the images and fonts
// (one owner each, released before GDI+ shuts down), counts of the objects the
// toolkit holds, and where failures are reported.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/aqua/Fonts.h"
#include "gui/aqua/Scale.h"
#include "gui/aqua/win32/Gdiplus.h"

namespace GUI::Aqua {

// A loaded image and the scale it was drawn for (1.0, 1.5 or 2.0), so that
// source rectangles given at 100% can be mapped onto it.
struct SkinImage {
    Gdiplus::Bitmap* bitmap = nullptr;
    double artScale = 1.0;
    explicit operator bool() const { return bitmap != nullptr; }
};

// Shows a message to the user; tests record it instead of blocking on a box.
using Prompt = std::function<void(const std::wstring& text, const std::wstring& caption)>;

class Toolkit {
public:
    // Starts GDI+. `module` holds the skin's resources.
    explicit Toolkit(HMODULE module, Prompt prompt = {});
    ~Toolkit();
    Toolkit(const Toolkit&) = delete;
    Toolkit& operator=(const Toolkit&) = delete;

    bool started() const { return token_ != 0; }
    HMODULE module() const { return module_; }

    // The image `name` (given at 100%) at the art scale of `scaler`, falling
    // back to the 100% art. PNG resources ("BINARY") are decoded by GDI+
    // through a resource stream; bitmap resources keep their alpha when they
    // have 32 bits. Missing images yield an empty SkinImage: callers skip them.
    SkinImage Image(const std::wstring& name, const Scaler& scaler);
    // Whether the resource exists and decodes, at 100%, without keeping it.
    [[nodiscard]] DWORD CheckImage(const std::wstring& name);

    // A GDI+ font of that face and size at the scale: the family chosen among the
    // installed ones so that text always draws, the size in pixels.
    Gdiplus::Font* Font(const FontSpec& spec, const Scaler& scaler);
    std::wstring FamilyFor(const std::wstring& requested);

    void Report(const std::wstring& text, const std::wstring& caption) const;

    // What the toolkit holds now: cached images, fonts and GDI objects made
    // through its owners. Steady over repaints when nothing leaks.
    struct Counts {
        size_t images = 0;
        size_t fonts = 0;
        long gdiObjects = 0;
        bool operator==(const Counts&) const = default;
    };
    Counts counts() const { return {images_.size(), fonts_.size(), gdiObjects_}; }
    // GDI objects made for the toolkit's windows (bitmaps, DCs, regions) pass
    // through these so that tests can count them (the system's own count is
    // not available everywhere).
    void GdiCreated() { ++gdiObjects_; }
    void GdiDeleted() { --gdiObjects_; }

    // Releases every image and font; the next use loads them again.
    void ReleaseAll();

private:
    std::unique_ptr<Gdiplus::Bitmap> Load(const std::wstring& resourceName, DWORD& error) const;

    HMODULE module_;
    Prompt prompt_;
    ULONG_PTR token_ = 0;
    std::map<std::pair<std::wstring, int>, std::unique_ptr<Gdiplus::Bitmap>> images_;
    std::map<std::wstring, std::unique_ptr<Gdiplus::Font>> fonts_;
    std::vector<std::wstring> installedFamilies_;
    bool familiesRead_ = false;
    long gdiObjects_ = 0;
};

// The DPI of a window (per-monitor where the system knows it).
int WindowDpi(HWND window);

}  // namespace GUI::Aqua
