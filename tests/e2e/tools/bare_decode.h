// The platform alone decoding a picture: WIC's decoder, its first frame and
// one full CopyPixels to 32 bpp, with none of the program's own scaling. The
// benchmark times it beside the program's loader; the tests ask it whether
// the platform can read a file at all.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstddef>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "pictures/picture_win.h"

namespace salvanto::win {

// The platform's own decode of the whole picture into one 32-bit buffer.
inline bool BareDecode(const std::wstring& path) {
  auto factory = WicFactory();
  com_ptr<IWICBitmapDecoder> decoder;
  com_ptr<IWICBitmapFrameDecode> frame;
  if (!factory ||
      FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                decoder.put())) ||
      FAILED(decoder->GetFrame(0, frame.put()))) {
    return false;
  }
  UINT width = 0, height = 0;
  WICPixelFormatGUID format{};
  if (FAILED(frame->GetSize(&width, &height)) || FAILED(frame->GetPixelFormat(&format))) return false;
  IWICBitmapSource* source = frame.get();
  com_ptr<IWICFormatConverter> converter;
  if (format != GUID_WICPixelFormat32bppBGR) {
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
      return false;
    }
    source = converter.get();
  }
  const UINT stride = width * 4;
  std::vector<BYTE> pixels(std::size_t{stride} * height);
  return SUCCEEDED(source->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data()));
}

}  // namespace salvanto::win
