#pragma once
// The image control: holds one ready bitmap, already scaled to the size it
// shows at, and paints by copying it. It takes the mouse over it; where a
// listener is set (Image1), its button-down, click and move reach it.
// Screen readers read it as a graphic, named by a short description of the
// picture where one is set.
#include <windows.h>

#include <string>

#include "base/twips.h"
#include "controls/accessible_win.h"
#include "controls/image.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace salvanto::win {

class ImageControl final : public Window<ImageControl>, private AccessibleSource {
public:
  static ImageControl& Create(HWND parent, int id, const PixelRect& rect, ImageEvents* events = nullptr);

  // Replaces the picture; the old bitmap is freed at once.
  void SetPicture(unique_hbitmap picture);
  bool HasPicture() const { return static_cast<bool>(picture_); }
  SIZE ClientSize() const;
  // Without stretching, the control takes its picture's size.
  void SizeToPicture();
  void SetDescription(std::wstring description) { description_ = std::move(description); }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  friend class Window<ImageControl>;
  explicit ImageControl(ImageEvents* events) : events_(events) {}
  void Paint(HDC dc);
  LRESULT OnButtonDown();
  AccessibleElement Describe(long /*element*/) const override { return DescribeImage(description_); }

  ImageEvents* events_;
  unique_hbitmap picture_;
  ImageClicks clicks_;
  std::wstring description_;
  AccessibleLink accessible_{*this};
};

}  // namespace salvanto::win
