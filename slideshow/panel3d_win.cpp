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

void DrawBevel(HDC dc, RECT& rect, Bevel bevel, int width) {
  if (bevel == Bevel::None || width <= 0) return;
  const COLORREF light = GetSysColor(COLOR_3DHILIGHT);
  const COLORREF dark = GetSysColor(COLOR_3DSHADOW);
  const COLORREF topLeft = bevel == Bevel::Raised ? light : dark;
  const COLORREF bottomRight = bevel == Bevel::Raised ? dark : light;
  for (int i = 0; i < width && rect.right - rect.left > 1 && rect.bottom - rect.top > 1; ++i) {
    // One pixel ring: top and left in one colour, bottom and right in the other.
    SetDCBrushColor(dc, topLeft);
    HBRUSH brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    RECT top{rect.left, rect.top, rect.right - 1, rect.top + 1};
    RECT left{rect.left, rect.top, rect.left + 1, rect.bottom - 1};
    FillRect(dc, &top, brush);
    FillRect(dc, &left, brush);
    SetDCBrushColor(dc, bottomRight);
    RECT bottom{rect.left, rect.bottom - 1, rect.right, rect.bottom};
    RECT right{rect.right - 1, rect.top, rect.right, rect.bottom};
    FillRect(dc, &bottom, brush);
    FillRect(dc, &right, brush);
    InflateRect(&rect, -1, -1);
  }
}

Panel3D& Panel3D::Create(HWND parent, int id, PanelSettings settings, const PixelRect& rect, bool visible) {
  auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  Register(instance, kPanelClass, CS_HREDRAW | CS_VREDRAW, nullptr);
  auto* panel = new Panel3D(std::move(settings));
  const DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
  HWND window = CreateWindowExW(0, kPanelClass, panel->settings_.Caption.c_str(), style, rect.left, rect.top,
                                rect.width(), rect.height(), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                instance, panel);
  if (!window) throw RuntimeError(ErrorKind::InvalidPropertyValue, L"A panel of the window could not be created.");
  return *panel;
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
  // Paint off screen and copy once, so that a caption change never flickers.
  unique_hdc dc(CreateCompatibleDC(target));
  unique_hbitmap canvas(CreateCompatibleBitmap(target, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)));
  if (!dc || !canvas) return;
  select_object useCanvas(dc.get(), canvas.get());

  SetDCBrushColor(dc.get(), ResolveColour(settings_.BackColor));
  FillRect(dc.get(), &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
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
  BitBlt(target, 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
}

LRESULT Panel3D::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // Paint covers every pixel
    case WM_PAINT: {
      paint_scope paint(hwnd());
      Paint(paint.get());
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
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
