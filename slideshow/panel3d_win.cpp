#include "slideshow/panel3d_win.h"

#include <cmath>

namespace salvanto::win {

COLORREF ResolveColour(COLORREF colour) {
  return (colour & kSystemColour) ? GetSysColor(static_cast<int>(colour & 0xFF)) : colour;
}

unique_hfont MakeFont(const FontSpec& spec, int dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -static_cast<LONG>(std::lround(spec.points * static_cast<float>(dpi) / 72.0f));
  lf.lfWeight = spec.weight;
  lf.lfCharSet = static_cast<BYTE>(spec.charset);
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, spec.face, LF_FACESIZE);
  return unique_hfont(CreateFontIndirectW(&lf));
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void DrawFrame(HDC dc, RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
  if (rect.right - rect.left < 2 || rect.bottom - rect.top < 2) return;
  FillSolid(dc, {rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
  FillSolid(dc, {rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
  FillSolid(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
  FillSolid(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
  InflateRect(&rect, -1, -1);
}

void DrawBevel(HDC dc, RECT& rect, Bevel bevel, int width) {
  if (bevel == Bevel::None) return;
  const COLORREF light = GetSysColor(COLOR_3DHILIGHT);
  const COLORREF dark = GetSysColor(COLOR_3DSHADOW);
  for (int i = 0; i < width; ++i) {
    if (bevel == Bevel::Raised) DrawFrame(dc, rect, light, dark);
    else DrawFrame(dc, rect, dark, light);
  }
}

int DrawButtonFace(HDC dc, RECT& rect, COLORREF face, bool pushed, int depth, int pushedShift) {
  const COLORREF light = GetSysColor(COLOR_3DHILIGHT);
  const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
  FillSolid(dc, rect, face);
  DrawFrame(dc, rect, RGB(0, 0, 0), RGB(0, 0, 0));
  if (pushed) {
    DrawFrame(dc, rect, shadow, shadow);
    return pushedShift;
  }
  for (int i = 0; i < depth; ++i) DrawFrame(dc, rect, light, shadow);
  return 0;
}

Panel3D& Panel3D::Create(HWND parent, int id, PanelSettings settings, const PixelRect& rect, bool visible) {
  auto* panel = new Panel3D(std::move(settings));
  return CreateChild(parent, kPanelClass, CS_HREDRAW | CS_VREDRAW, panel, panel->settings_.Caption.c_str(),
                     WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0), rect, id);
}

void Panel3D::SetCaption(const std::wstring& caption) { SetWindowTextW(hwnd(), caption.c_str()); }

std::wstring Panel3D::Caption() const {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd())) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd(), text.data(), static_cast<int>(text.size()))));
  return text;
}

int Panel3D::Scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }

void Panel3D::OnCreate() {
  window_dc screen(hwnd());
  dpi_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
  if (dpi_ <= 0) dpi_ = 96;
  font_ = MakeFont(settings_.Font, dpi_);
}

void Panel3D::Paint(HDC target) {
  RECT client;
  GetClientRect(hwnd(), &client);
  // Off screen, so that a caption change never flickers.
  offscreen_canvas dc(target, client);
  if (!dc) return;
  FillSolid(dc.get(), client, ResolveColour(settings_.BackColor));
  RECT inside = client;
  DrawBevel(dc.get(), inside, settings_.BevelOuter, Scaled(settings_.BevelWidth));
  if (settings_.BevelInner != Bevel::None) {
    InflateRect(&inside, -Scaled(settings_.BorderWidth), -Scaled(settings_.BorderWidth));
    DrawBevel(dc.get(), inside, settings_.BevelInner, Scaled(settings_.BevelWidth));
  }

  const std::wstring caption = Caption();
  if (!caption.empty()) {
    select_object useFont(dc.get(), font_.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), ResolveColour(settings_.ForeColor));
    UINT format = DT_SINGLELINE | DT_NOPREFIX;
    switch (settings_.Align) {
      case Alignment::LeftTop: format |= DT_LEFT | DT_TOP; break;
      case Alignment::LeftMiddle: format |= DT_LEFT | DT_VCENTER; break;
      case Alignment::CenterMiddle: format |= DT_CENTER | DT_VCENTER; break;
      case Alignment::RightMiddle: format |= DT_RIGHT | DT_VCENTER; break;
    }
    RECT text = client;
    DrawTextW(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &text, format);
  }
}

LRESULT Panel3D::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto painted = HandlePaint(message, wParam)) return *painted;
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_SETTEXT: {
      // A new caption shows at once.
      LRESULT result = Default(message, wParam, lParam);
      RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      return result;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
      // A container passes its children's notifications on to its window.
      return SendMessageW(GetParent(hwnd()), message, wParam, lParam);
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace salvanto::win
