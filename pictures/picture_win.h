#pragma once
// Pictures from files and from the program's resources, decoded with WIC
// and scaled once, at load time, to the size they are shown at. Only the
// finished bitmap is kept: the decoder's rows pass through the scaler in
// bands, so no full-size copy of the picture is ever made here.
#include <windows.h>

#include <string>

#include "framework/handles.h"

namespace salvanto::win {

// The picture upright (as its orientation tag says) at its own size
// (target 0 x 0) or scaled to target, as a 32-bit top-down DIB section.
// Returns an empty handle when the file names no picture that can be
// shown: no file, a folder, a file that is not a picture, a truncated or
// oversized one. Never throws.
unique_hbitmap LoadPictureFile(const std::wstring& path, SIZE target);
unique_hbitmap LoadPictureResource(HINSTANCE instance, int resourceId, SIZE target);

}  // namespace salvanto::win
