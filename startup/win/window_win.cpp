#include "startup/win/window.h"

#include "assets/resource.h"

namespace salvanto::win {

HICON ProgramIcon(HINSTANCE instance, int size) {
  // Shared icons are owned by the system: nothing to destroy.
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace salvanto::win
