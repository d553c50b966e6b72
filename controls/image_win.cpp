#include "controls/image_win.h"

namespace salvanto::win {

ImageControl& ImageControl::Create(HWND parent, int id, const PixelRect& rect, ImageEvents* events) {
  return CreateChild(parent, kImageClass, 0, new ImageControl(events), L"", WS_VISIBLE | WS_CLIPSIBLINGS, rect, id);
}

void ImageControl::SetPicture(unique_hbitmap picture) {
  picture_ = std::move(picture);
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

SIZE ImageControl::ClientSize() const {
  RECT client;
  GetClientRect(hwnd(), &client);
  return {client.right, client.bottom};
}

void ImageControl::SizeToPicture() {
  BITMAP info{};
  if (picture_ && GetObjectW(picture_.get(), sizeof info, &info)) {
    SetWindowPos(hwnd(), nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void ImageControl::Paint(HDC target) {
  RECT client;
  GetClientRect(hwnd(), &client);
  BITMAP info{};
  if (!picture_ || !GetObjectW(picture_.get(), sizeof info, &info)) {
    FillRect(target, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return;
  }
  unique_hdc source(CreateCompatibleDC(target));
  select_object usePicture(source.get(), picture_.get());
  if (info.bmWidth == client.right && info.bmHeight == client.bottom) {
    BitBlt(target, 0, 0, client.right, client.bottom, source.get(), 0, 0, SRCCOPY);
  } else {
    // Only until the control's size changes to the bitmap's; pictures are
    // scaled to the control when they are loaded.
    SetStretchBltMode(target, HALFTONE);
    StretchBlt(target, 0, 0, client.right, client.bottom, source.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  }
}

LRESULT ImageControl::OnButtonDown() {
  if (events_) events_->OnImageMouseDown();
  return 0;
}

LRESULT ImageControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto painted = HandlePaint(message, wParam)) return *painted;
  if (auto answer = accessible_.HandleMessage(hwnd(), message, wParam, lParam)) return *answer;
  switch (message) {
    case WM_LBUTTONDOWN:
      clicks_.LeftDown();
      return OnButtonDown();
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      clicks_.OtherDown();
      return OnButtonDown();
    case WM_LBUTTONUP:
      if (clicks_.LeftUp() && events_) events_->OnImageClick();
      return 0;
    case WM_MOUSEMOVE:
      if (events_) events_->OnImageMouseMove(ScreenPoint(hwnd(), lParam));
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace salvanto::win
