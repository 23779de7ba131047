#include "gui/aqua/win32/Toolkit.h"

#include <cstring>

#include "core/win/ResourceStream.h"

namespace GUI::Aqua {

namespace {

// A bitmap resource (a DIB without its file header) as a GDI+ bitmap. 32-bit
// bitmaps carry straight alpha in their fourth byte; 24-bit ones are opaque.
std::unique_ptr<Gdiplus::Bitmap> FromDib(const BYTE* data, DWORD size, DWORD& error)
{
    if (size < sizeof(BITMAPINFOHEADER)) {
        error = ERROR_INVALID_DATA;
        return nullptr;
    }
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    const int width = header.biWidth;
    const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const int bits = header.biBitCount;
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192 || (bits != 24 && bits != 32) ||
        header.biCompression != BI_RGB) {
        error = ERROR_INVALID_DATA;
        return nullptr;
    }
    const size_t stride = (static_cast<size_t>(width) * (bits / 8) + 3) & ~size_t{3};
    const size_t offset = header.biSize;
    if (offset + stride * height > size) {
        error = ERROR_INVALID_DATA;
        return nullptr;
    }
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    Gdiplus::BitmapData locked;
    Gdiplus::Rect all(0, 0, width, height);
    if (bitmap->GetLastStatus() != Gdiplus::Ok ||
        bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &locked) != Gdiplus::Ok) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    for (int y = 0; y < height; ++y) {
        const int sourceRow = header.biHeight > 0 ? height - 1 - y : y;
        const BYTE* src = data + offset + stride * sourceRow;
        BYTE* dst = static_cast<BYTE*>(locked.Scan0) + static_cast<ptrdiff_t>(locked.Stride) * y;
        for (int x = 0; x < width; ++x) {
            dst[x * 4] = src[x * (bits / 8)];
            dst[x * 4 + 1] = src[x * (bits / 8) + 1];
            dst[x * 4 + 2] = src[x * (bits / 8) + 2];
            dst[x * 4 + 3] = bits == 32 ? src[x * 4 + 3] : 0xFF;
        }
    }
    bitmap->UnlockBits(&locked);
    error = 0;
    return bitmap;
}

}  // namespace

Toolkit::Toolkit(HMODULE module, Prompt prompt) : module_(module), prompt_(std::move(prompt))
{
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) {
        token_ = 0;
    }
}

Toolkit::~Toolkit()
{
    // Every GDI+ object dies before GDI+ shuts down.
    ReleaseAll();
    if (token_ != 0) {
        Gdiplus::GdiplusShutdown(token_);
    }
}

void Toolkit::ReleaseAll()
{
    images_.clear();
    fonts_.clear();
}

void Toolkit::Report(const std::wstring& text, const std::wstring& caption) const
{
    if (prompt_) {
        prompt_(text, caption);
    } else {
        MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
    }
}

std::unique_ptr<Gdiplus::Bitmap> Toolkit::Load(const std::wstring& resourceName, DWORD& error) const
{
    if (!started()) {
        error = ERROR_DLL_INIT_FAILED;
        return nullptr;
    }
    // PNG art first ("BINARY"), then bitmaps.
    if (FindResourceW(module_, resourceName.c_str(), L"BINARY")) {
        auto* stream = new Resources::ResourceStream();
        stream->AddRef();
        error = stream->OpenResource(module_, resourceName.c_str(), L"BINARY");
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
        if (error == 0) {
            bitmap.reset(Gdiplus::Bitmap::FromStream(stream));
            if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) {
                bitmap.reset();
                error = ERROR_INVALID_DATA;
            }
        }
        stream->Release();
        return bitmap;
    }
    HRSRC found = FindResourceW(module_, resourceName.c_str(), MAKEINTRESOURCEW(2));  // RT_BITMAP
    if (!found) {
        error = GetLastError() ? GetLastError() : ERROR_RESOURCE_NAME_NOT_FOUND;
        return nullptr;
    }
    HGLOBAL loaded = LoadResource(module_, found);
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data) {
        error = GetLastError() ? GetLastError() : ERROR_RESOURCE_DATA_NOT_FOUND;
        return nullptr;
    }
    return FromDib(data, SizeofResource(module_, found), error);
}

SkinImage Toolkit::Image(const std::wstring& name, const Scaler& scaler)
{
    const int percent = scaler.ArtPercent();
    for (int tryPercent : {percent, 100}) {
        const auto key = std::make_pair(name, tryPercent);
        auto it = images_.find(key);
        if (it == images_.end()) {
            DWORD error = 0;
            const std::wstring resource = Scaler(Scaler::kBaseDpi * tryPercent / 100).ArtName(name);
            it = images_.emplace(key, Load(resource, error)).first;
        }
        if (it->second) {
            return {it->second.get(), tryPercent / 100.0};
        }
        if (tryPercent == 100) {
            break;
        }
    }
    return {};
}

DWORD Toolkit::CheckImage(const std::wstring& name)
{
    DWORD error = 0;
    auto bitmap = Load(name, error);
    if (bitmap && (bitmap->GetWidth() == 0 || bitmap->GetHeight() == 0)) {
        return ERROR_INVALID_DATA;
    }
    return bitmap ? 0 : error;
}

std::wstring Toolkit::FamilyFor(const std::wstring& requested)
{
    if (!familiesRead_) {
        familiesRead_ = true;
        Gdiplus::InstalledFontCollection installed;
        const INT count = installed.GetFamilyCount();
        if (count > 0) {
            std::vector<Gdiplus::FontFamily> families(static_cast<size_t>(count));
            INT found = 0;
            installed.GetFamilies(count, families.data(), &found);
            for (INT i = 0; i < found; ++i) {
                WCHAR name[LF_FACESIZE] = {};
                if (families[static_cast<size_t>(i)].GetFamilyName(name) == Gdiplus::Ok) {
                    installedFamilies_.emplace_back(name);
                }
            }
        }
    }
    return ChooseFontFamily(requested, installedFamilies_);
}

Gdiplus::Font* Toolkit::Font(const FontSpec& spec, const Scaler& scaler)
{
    // Sizes become pixels at the window's scale: points are 1/72 inch.
    const double pixels =
        spec.unit == FontUnit::Point ? spec.size * scaler.dpi() / 72.0 : spec.size * scaler.FontFactor();
    const std::wstring key =
        spec.family + L'|' + std::to_wstring(static_cast<int>(pixels * 100)) + L'|' + std::to_wstring(spec.style);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        const std::wstring family = FamilyFor(spec.family);
        INT style = Gdiplus::FontStyleRegular;
        if (spec.style & kBold) {
            style |= Gdiplus::FontStyleBold;
        }
        if (spec.style & kUnderline) {
            style |= Gdiplus::FontStyleUnderline;
        }
        auto font = std::make_unique<Gdiplus::Font>(family.c_str(), static_cast<Gdiplus::REAL>(pixels), style,
                                                    Gdiplus::UnitPixel);
        if (font->GetLastStatus() != Gdiplus::Ok) {
            font.reset();
        }
        it = fonts_.emplace(key, std::move(font)).first;
    }
    return it->second.get();
}

int WindowDpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : Scaler::kBaseDpi;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : Scaler::kBaseDpi;
}

}  // namespace GUI::Aqua
