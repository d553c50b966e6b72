#include "controls/draw3d_win.h"

#include "framework/high_contrast.h"

namespace salvanto::win {

COLORREF ResolveColour(COLORREF colour) {
  return (colour & kSystemColour) ? GetSysColor(static_cast<int>(colour & 0xFF)) : colour;
}

COLORREF PartColour(COLORREF design, int systemColour) {
  return HighContrast() ? GetSysColor(systemColour) : ResolveColour(design);
}

void RedrawInNewColours(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

namespace {

// True when the system draws face with a scalable sans-serif font: the face
// itself, or the one its font mapper puts in its place (Wine maps
// "Microsoft Sans Serif" to a metric-compatible free face).
bool HasScalableSansSerif(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfHeight = -20;
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  const unique_hfont font(CreateFontIndirectW(&wanted));
  const window_dc screen(nullptr);
  if (!font || !screen.get()) return false;
  const select_object use(screen.get(), font.get());
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(screen.get(), &metrics)) return false;
  return IsScalableSansSerif(metrics.tmPitchAndFamily);
}

// The scalable face of the same kind as the raster sans-serif faces, where
// the system has one.
const wchar_t* ScalableSansSerif() {
  static const wchar_t* const face = []() -> const wchar_t* {
    for (const wchar_t* candidate : {L"Microsoft Sans Serif", L"Tahoma"}) {
      if (HasScalableSansSerif(candidate)) return candidate;
    }
    return nullptr;
  }();
  return face;
}

}  // namespace

const wchar_t* FaceAtDpi(const wchar_t* face, int dpi) {
  if (!WantsScalableFace(face, dpi)) return face;
  const wchar_t* scalable = ScalableSansSerif();
  return scalable ? scalable : face;
}

unique_hfont MakeFont(const FontSpec& spec, int dpi) {
  LOGFONTW lf{};
  lf.lfHeight = FontHeight(spec.points, dpi);
  lf.lfWeight = spec.weight;
  lf.lfCharSet = static_cast<BYTE>(spec.charset);
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, FaceAtDpi(spec.face, dpi), LF_FACESIZE);
  return unique_hfont(CreateFontIndirectW(&lf));
}

void FillSolid(HDC dc, const PixelRect& rect, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  const RECT area = ToRect(rect);
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void PaintFills(HDC dc, const Fills& fills, COLORREF face) {
  // By Shade: Face, Light, Shadow, Outline.
  const COLORREF shades[] = {face, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DSHADOW),
                             PartColour(RGB(0, 0, 0), COLOR_3DDKSHADOW)};
  for (const Fill& fill : fills) FillSolid(dc, fill.rect, shades[static_cast<int>(fill.shade)]);
}

void DrawFocusMark(HDC dc, const PixelRect& mark) {
  if (mark.right <= mark.left || mark.bottom <= mark.top) return;
  const RECT rect = ToRect(mark);
  if (HighContrast()) {
    // In the highlight colour itself instead of an inversion of what lies beneath.
    for (const Point dot : FocusDots(mark)) SetPixelV(dc, dot.x, dot.y, GetSysColor(COLOR_HIGHLIGHT));
    return;
  }
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &rect);
}

void DrawCaption(HDC dc, std::wstring_view text, const PixelRect& place, HFONT font, COLORREF colour, UINT format) {
  if (text.empty()) return;
  RECT rect = ToRect(place);
  select_object useFont(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ResolveColour(colour));
  DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect, format | DT_NOPREFIX);
}

}  // namespace salvanto::win
