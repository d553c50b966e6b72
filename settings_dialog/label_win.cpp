#include "settings_dialog/label_win.h"

#include <algorithm>

namespace salvanto::win {

Label& Label::Create(HWND parent, int id, LabelSettings settings, const PixelRect& rect) {
  auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  Register(instance, kLabelClass, CS_HREDRAW | CS_VREDRAW, nullptr);
  auto* label = new Label(std::move(settings));
  label->font_ = MakeFont(label->settings_.Font, DisplayDpi());
  // Disabled, so that the dialog's arrow-key navigation passes over it as it
  // passes over every control that takes no focus.
  HWND window = CreateWindowExW(0, kLabelClass, label->settings_.Caption.c_str(),
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_DISABLED, rect.left, rect.top,
                                rect.width(), rect.height(), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                instance, label);
  if (!window) throw RuntimeError(ErrorKind::InvalidPropertyValue, L"A label of the window could not be created.");
  return *label;
}

void Label::Paint(HDC target) {
  RECT client;
  GetClientRect(hwnd(), &client);
  // Drawn off screen and copied once, like every control of the dialog; the
  // text also comes out the same on every display driver that way.
  unique_hdc dc(CreateCompatibleDC(target));
  unique_hbitmap canvas(
      CreateCompatibleBitmap(target, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)));
  if (!dc || !canvas) return;
  select_object useCanvas(dc.get(), canvas.get());
  SetDCBrushColor(dc.get(), ResolveColour(settings_.BackColor));
  FillRect(dc.get(), &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  const std::wstring& text = settings_.Caption;
  if (!text.empty()) {
    select_object useFont(dc.get(), font_.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), ResolveColour(settings_.ForeColor));
    RECT area = client;
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &area,
              DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  }
  BitBlt(target, 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
}

LRESULT Label::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
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
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace salvanto::win
