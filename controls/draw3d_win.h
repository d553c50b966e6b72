#pragma once
// What every 3-D control draws with: an off-screen canvas, colours that may
// name a system colour (and give way to the system's under high contrast),
// fonts at the window's density, solid fills, classic bevels and button
// faces, the dotted focus mark and a caption.
#include <windows.h>

#include <string_view>

#include "base/twips.h"
#include "controls/control_settings.h"
#include "controls/draw3d.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace salvanto::win {

// The colour a design's colour (controls/control_settings.h) names now.
COLORREF ResolveColour(COLORREF colour);

// The colour of one part of a control: the design's, or while high contrast
// is on the system colour of what the part is (COLOR_BTNFACE and
// COLOR_BTNTEXT on faces, COLOR_WINDOW and COLOR_WINDOWTEXT on backgrounds).
COLORREF PartColour(COLORREF design, int systemColour);

// The system's colours or its contrast changed (WM_SYSCOLORCHANGE,
// WM_SETTINGCHANGE, which only top-level windows get): the window and every
// control in it draw again.
void RedrawInNewColours(HWND window);

// A font at a display density (controls/fonts.h): a raster face above
// 96 DPI gives way to the system's scalable sans serif, where it has one.
unique_hfont MakeFont(const FontSpec& spec, int dpi);
const wchar_t* FaceAtDpi(const wchar_t* face, int dpi);

// Painting off screen: draw into get(), and the whole area is copied to the
// target in one go when the canvas goes, so that a repaint never flickers.
class offscreen_canvas {
public:
  offscreen_canvas(HDC target, const PixelRect& area)
      : target_(target),
        area_(ToRect(area)),
        dc_(CreateCompatibleDC(target)),
        bitmap_(CreateCompatibleBitmap(target, area.right > 1 ? area.right : 1, area.bottom > 1 ? area.bottom : 1)) {
    if (dc_ && bitmap_) old_ = SelectObject(dc_.get(), bitmap_.get());
  }
  offscreen_canvas(const offscreen_canvas&) = delete;
  offscreen_canvas& operator=(const offscreen_canvas&) = delete;
  ~offscreen_canvas() {
    if (!old_) return;
    BitBlt(target_, 0, 0, area_.right, area_.bottom, dc_.get(), 0, 0, SRCCOPY);
    SelectObject(dc_.get(), old_);
  }
  // False when the system had no memory for it; nothing is drawn then.
  explicit operator bool() const { return old_ != nullptr; }
  HDC get() const { return dc_.get(); }

private:
  HDC target_;
  RECT area_;
  unique_hdc dc_;
  unique_hbitmap bitmap_;
  HGDIOBJ old_ = nullptr;
};

// Solid fills (controls/draw3d.h), the face in its colour and the other
// shades in the system's 3-D colours.
void FillSolid(HDC dc, const PixelRect& rect, COLORREF colour);
void PaintFills(HDC dc, const Fills& fills, COLORREF face);

// The dotted focus mark on rect, black on white whatever the DC's colours,
// in the highlight colour under high contrast; nothing when rect is empty.
void DrawFocusMark(HDC dc, const PixelRect& rect);

// Text in a font and colour on a transparent background, placed in rect by
// DrawText's format flags; nothing for empty text.
void DrawCaption(HDC dc, std::wstring_view text, const PixelRect& rect, HFONT font, COLORREF colour, UINT format);

}  // namespace salvanto::win
