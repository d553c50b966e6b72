#include "slideshow/picture_win.h"

#include <wincodec.h>

namespace salvanto::win {
namespace {

com_ptr<IWICImagingFactory> Factory() {
  com_ptr<IWICImagingFactory> factory;
  CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put()));
  return factory;
}

unique_hbitmap FromDecoder(IWICImagingFactory* factory, IWICBitmapDecoder* decoder, SIZE target) {
  com_ptr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.put()))) return {};
  UINT width = 0, height = 0;
  if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) return {};
  com_ptr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                   WICBitmapPaletteTypeCustom))) {
    return {};
  }
  IWICBitmapSource* source = converter.get();
  com_ptr<IWICBitmapScaler> scaler;
  UINT outWidth = width, outHeight = height;
  if (target.cx > 0 && target.cy > 0 && (static_cast<UINT>(target.cx) != width || static_cast<UINT>(target.cy) != height)) {
    outWidth = static_cast<UINT>(target.cx);
    outHeight = static_cast<UINT>(target.cy);
    if (FAILED(factory->CreateBitmapScaler(scaler.put())) ||
        FAILED(scaler->Initialize(converter.get(), outWidth, outHeight, WICBitmapInterpolationModeFant))) {
      return {};
    }
    source = scaler.get();
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(outWidth);
  info.bmiHeader.biHeight = -static_cast<LONG>(outHeight);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  unique_hbitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return {};
  const UINT stride = outWidth * 4;
  if (FAILED(source->CopyPixels(nullptr, stride, stride * outHeight, static_cast<BYTE*>(bits)))) return {};
  return bitmap;
}

}  // namespace

unique_hbitmap LoadPictureFile(const std::wstring& path, SIZE target) {
  auto factory = Factory();
  if (!factory) return {};
  com_ptr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                decoder.put()))) {
    return {};
  }
  return FromDecoder(factory.get(), decoder.get(), target);
}

unique_hbitmap LoadPictureResource(HINSTANCE instance, int resourceId, SIZE target) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  void* data = loaded ? LockResource(loaded) : nullptr;
  auto factory = Factory();
  if (!data || !factory) return {};
  com_ptr<IWICStream> stream;
  com_ptr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(data), SizeofResource(instance, found))) ||
      FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put()))) {
    return {};
  }
  return FromDecoder(factory.get(), decoder.get(), target);
}

}  // namespace salvanto::win
