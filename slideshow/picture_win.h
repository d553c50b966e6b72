#pragma once
// Pictures from files and from the program's resources, decoded with WIC
// and scaled once, at load time, to the size they are shown at.
#include <windows.h>

#include <string>

#include "startup/win/handles.h"

namespace salvanto::win {

// The picture at its own size (target 0 x 0) or scaled to target. Returns
// an empty handle when the file names no picture that can be shown: no
// file, a folder, a file that is not a picture, a truncated or oversized one.
unique_hbitmap LoadPictureFile(const std::wstring& path, SIZE target);
unique_hbitmap LoadPictureResource(HINSTANCE instance, int resourceId, SIZE target);

}  // namespace salvanto::win
