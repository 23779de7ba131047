#pragma once
// What each control draws, as draw operations. Coordinates are the control's
// own (its window or, for drawn controls, the host's); images are named at
// 100% and chosen at the window's scale when played back.
#include <string>

#include "gui/aqua/DrawList.h"
#include "gui/aqua/Geometry.h"
#include "gui/aqua/Scale.h"
#include "gui/aqua/ScrollModel.h"

namespace GUI::Aqua {

// Colours the controls use.
inline constexpr uint32_t kTitleStripColour = 0xFFD5DEE7;
inline constexpr uint32_t kGroupCaptionColour = 0xFF0074FF;
inline constexpr uint32_t kGroupBorderColour = 0xFF979797;
inline constexpr uint32_t kDisabledTextColour = 0xFF5A5A5A;
inline constexpr uint32_t kInfoTipBackground = 0xFFF1F1F1;
inline constexpr uint32_t kInfoTipBorder = 0xFF888888;

// Check box: the strip frame of the state at the box, then the caption.
// Frame k of the strip lies at y = 16 k.
void PaintCheckbox(DrawList& list, const Scaler& s, Rect rect, int state, const std::wstring& caption, bool focused);
Rect CheckboxBox(const Scaler& s, Rect rect);

struct ButtonLook {
    bool enabled = true;
    bool hot = false;  // pointer over it while it tracks, or the default button
    double gamma = 1.0;
    bool focused = false;
    // A colour to fill under the button first; 0 when what the button stands
    // on is already drawn (the faded look lets it show through).
    uint32_t background = 0;
};
// Button of `size`: its background, then caps and tiled fill in grey, or faded with the gamma when
// hot; the caption centred, white one pixel lower and then black (dark grey
// when disabled).
void PaintButton(DrawList& list, const Scaler& s, Rect size, const std::wstring& caption, const ButtonLook& look);

// The action bar's background line.
void PaintActions(DrawList& list, Rect size);

// Scroll bar parts: each has normal, hover and pressed looks (and the arrows
// a disabled one). Strip frames: XP.SCROLLBAR.BUTTON 17 x 17 normal, hover,
// pressed, disabled; XP.SCROLLBAR.ARROW 17 x 17 up, down; XP.SCROLLBAR.BODY
// 17 x 24 normal, hover, pressed (6-pixel caps); XP.SCROLLBAR.TUMB 17 x 9
// per look; XP.SCROLLBAR.SHAFT stretched over the track.
enum class PartLook { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };
struct ScrollbarLooks {
    PartLook up = PartLook::Normal;
    PartLook down = PartLook::Normal;
    PartLook thumb = PartLook::Normal;
};
struct ScrollbarParts {
    Rect up, down, track, thumb;
};
ScrollbarParts LayoutScrollbar(const Scaler& s, Rect size, const ScrollModel& model);
void PaintScrollbar(DrawList& list, const Scaler& s, Rect size, const ScrollModel& model, ScrollbarLooks looks);

// Menu item: image centred near the top of its rectangle, caption below.
void PaintMenuItem(DrawList& list, const Scaler& s, Rect item, const std::wstring& image, const std::wstring& caption,
                   bool highlighted, bool enabled);
void PaintMenuBackground(DrawList& list, const Scaler& s, Rect size);

// The help button (open or close images, highlighted variant when hot).
void PaintHelpButton(DrawList& list, Rect size, bool popupShown, bool hot);
// The info pop-up: "Help Info" and the text (or the fallback text).
void PaintInfoTip(DrawList& list, const Scaler& s, Rect size, const std::wstring& text);
inline constexpr wchar_t kNoHelpText[] = L"There is no available help information, on that topic";

// The title strip with its ornament and the title in white.
void PaintStatus(DrawList& list, const Scaler& s, Rect size, const std::wstring& title);

// Group box frame, image and caption (children paint themselves). The
// caption's box is filled with the host's background so that the border line
// does not run through the text.
void PaintGroupBox(DrawList& list, const Scaler& s, Rect border, Rect captionText, Rect image,
                   const std::wstring& imageName, const std::wstring& caption, uint32_t background);

}  // namespace GUI::Aqua
