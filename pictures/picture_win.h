#pragma once
// Pictures from files and from the program's resources, decoded with WIC
// and scaled once, at load time, to the size they are shown at. Only the
// finished bitmap is kept: the decoder's rows pass through the scaler in
// bands, so no full-size copy of the picture is ever made here.
#include <windows.h>
#include <wincodec.h>

#include <string>

#include "framework/handles.h"

namespace salvanto::win {

// WIC's imaging factory, in the calling thread's apartment; empty when the
// system has none.
com_ptr<IWICImagingFactory> WicFactory();

// The picture upright (as its orientation tag says) at its own size
// (target 0 x 0) or scaled to target, as a 32-bit top-down DIB section.
// Returns an empty handle when the file names no picture that can be
// shown: no file, a folder, a file that is not a picture, a truncated or
// oversized one. Never throws.
unique_hbitmap LoadPictureFile(const std::wstring& path, SIZE target);
unique_hbitmap LoadPictureResource(HINSTANCE instance, int resourceId, SIZE target);

// What both loaders do with the first frame of a decoder: the same picture,
// upright (the frame's own orientation tag, else orientationFallback) and
// at target. Open for tests that hand it a frame of their own.
unique_hbitmap PictureFromFrame(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, SIZE target,
                                int orientationFallback = 1);

// The JPEG decoder of Windows can decode straight to 1/2, 1/4 or 1/8 of the
// size in its DCT (IWICBitmapSourceTransform); mingw-w64's wincodec.h does
// not declare the interface. PictureFromFrame scales through it where a
// frame offers it; decoders without it (all of them under Wine) answer
// E_NOINTERFACE and the picture goes the ordinary way.
struct IWICSourceTransform : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height, WICPixelFormatGUID* format,
                                               WICBitmapTransformOptions transform, UINT stride, UINT bufferSize,
                                               BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;
};
inline constexpr IID kIidWICSourceTransform = {
    0x3b16811b, 0x6a43, 0x4ec9, {0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40}};

}  // namespace salvanto::win
