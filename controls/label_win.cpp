#include "controls/label_win.h"

namespace salvanto::win {

Label& Label::Create(HWND parent, int id, LabelSettings settings, const PixelRect& rect) {
  auto* label = new Label(std::move(settings));
  // Disabled, so that the dialog's arrow-key navigation passes over it as it
  // passes over every control that takes no focus.
  return CreateChild(parent, kLabelClass, CS_HREDRAW | CS_VREDRAW, label, label->settings_.Caption.c_str(),
                     WS_VISIBLE | WS_CLIPSIBLINGS | WS_DISABLED, rect, id);
}

void Label::Paint(HDC target) {
  const PixelRect client = ClientPixels();
  // Drawn off screen and copied once, like every control of the dialog; the
  // text also comes out the same on every display driver that way.
  offscreen_canvas dc(target, client);
  if (!dc) return;
  FillSolid(dc.get(), client, PartColour(settings_.BackColor, COLOR_WINDOW));
  DrawCaption(dc.get(), settings_.Caption, client, font_.get(), PartColour(settings_.ForeColor, COLOR_WINDOWTEXT),
              DT_LEFT | DT_TOP | DT_WORDBREAK);
}

LRESULT Label::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto painted = HandlePaint(message, wParam)) return *painted;
  if (auto answer = accessible_.HandleMessage(hwnd(), message, wParam, lParam)) return *answer;
  switch (message) {
    case WM_CREATE:
      OnDpiChanged();
      return 0;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace salvanto::win
