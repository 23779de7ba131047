#pragma once
// Windows of the skinned toolkit. WindowBase owns one window and dispatches
// its messages to a virtual handler; GUI::Window is a top-level window whose
// frame the skin draws; Control is a child or pop-up that paints itself from
// draw operations through an off-screen bitmap of its size.
#include <memory>
#include <string>

#include "core/rti/Dynamic.h"
#include "gui/aqua/DrawList.h"
#include "gui/aqua/Scale.h"
#include "gui/aqua/win32/Frame.h"
#include "gui/aqua/win32/Playback.h"
#include "gui/aqua/win32/Toolkit.h"

namespace GUI {

class WindowBase : public RTI::Dynamic {
public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND hwnd() const { return hwnd_; }
    Aqua::Toolkit& toolkit() const { return toolkit_; }
    const Aqua::Scaler& scaler() const { return scaler_; }
    // Called by a parent when the scale changes (children get no DPI message).
    void SetScale(const Aqua::Scaler& scaler);

protected:
    explicit WindowBase(Aqua::Toolkit& toolkit) : toolkit_(toolkit) {}
    // Destroys the window if it still exists.
    ~WindowBase() override;

    bool CreateHandle(DWORD exStyle, const wchar_t* text, DWORD style, int x, int y, int width, int height, HWND parent,
                      UINT_PTR id);
    virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnScaleChanged() {}

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Aqua::Toolkit& toolkit_;
    HWND hwnd_ = nullptr;
    Aqua::Scaler scaler_;
};

// A top-level window with the skinned frame. Its client area is left to the
// derived class.
class Window : public WindowBase {
public:
    Window(Aqua::Toolkit& toolkit, IFrame& frame) : WindowBase(toolkit), frame_(frame) {}
    // A pop-up with the frame, of `width` x `height` at 100% (scaled to the
    // monitor's DPI), showing the minimise box.
    bool Create(const wchar_t* text, int x, int y, int width, int height, DWORD extraStyle = WS_MINIMIZEBOX);

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The frame's caption button released over: close hides, minimise minimises.
    virtual void OnCaptionButton(LRESULT hit);

    IFrame& frame_;

private:
    LRESULT pressedHit_ = HTNOWHERE;
};

class Control : public WindowBase {
public:
    // What the control drew last, for tests (a read-only inspection hook).
    const Aqua::DrawList& lastPaint() const { return lastPaint_; }
    int paints() const { return paints_; }
    void Invalidate() const;
    // The control's pixels drawn into a new bitmap, as WM_PRINTCLIENT draws them.
    std::unique_ptr<Aqua::OffscreenBitmap> Snapshot();

protected:
    explicit Control(Aqua::Toolkit& toolkit) : WindowBase(toolkit) {}
    virtual void Paint(Aqua::DrawList& list, Aqua::Rect size) = 0;
    // Controls that are not opaque draw over what their parent shows there.
    virtual bool ShowsParent() const { return false; }
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    Aqua::Rect ClientSize() const;
    // The client point of a mouse message.
    static Aqua::Point PointOf(LPARAM lParam);
    // Starts TrackMouseEvent for WM_MOUSELEAVE once per hover.
    void TrackLeave();
    bool tracking_ = false;

private:
    void PaintTo(HDC dc);
    bool DrawParentInto(HDC dc) const;

    std::unique_ptr<Aqua::OffscreenBitmap> buffer_;
    Aqua::DrawList lastPaint_;
    int paints_ = 0;
};

}  // namespace GUI
