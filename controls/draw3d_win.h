#pragma once
// What every 3-D control draws with: an off-screen canvas, colours that may
// name a system colour (and give way to the system's under high contrast),
// fonts at the window's density, solid fills, classic bevels and button
// faces, the dotted focus mark and a caption.
#include <windows.h>

#include <string_view>

#include "controls/control_settings.h"
#include "framework/handles.h"

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
  offscreen_canvas(HDC target, const RECT& area)
      : target_(target),
        area_(area),
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

// A solid fill; a one-pixel frame just inside rect (top and left in one
// colour, bottom and right in the other), after which rect shrinks past it;
// and a classic bevel of the given width made of such frames.
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
void DrawFrame(HDC dc, RECT& rect, COLORREF topLeft, COLORREF bottomRight);
void DrawBevel(HDC dc, RECT& rect, Bevel bevel, int width);

// The face of a classic push button in rect: a black outline, then a raised
// bevel depth pixels deep at rest, or a flat shadow frame when pushed in.
// rect shrinks to the face inside; returns how far the content moves when
// pushed (pushedShift, or 0 at rest).
int DrawButtonFace(HDC dc, RECT& rect, COLORREF face, bool pushed, int depth, int pushedShift);

// The dotted focus mark on rect, black on white whatever the DC's colours,
// in the highlight colour under high contrast; nothing when rect is empty.
void DrawFocusMark(HDC dc, const RECT& rect);

// Text in a font and colour on a transparent background, placed in rect by
// DrawText's format flags; nothing for empty text.
void DrawCaption(HDC dc, std::wstring_view text, RECT rect, HFONT font, COLORREF colour, UINT format);

}  // namespace salvanto::win
