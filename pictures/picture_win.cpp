#include "pictures/picture_win.h"

#include <propidl.h>
#include <wincodec.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <span>
#include <vector>

#include "pictures/picture_header.h"
#include "pictures/resample.h"

namespace salvanto::win {
namespace {

// Each band read from the decoder is about this big.
constexpr std::size_t kBandBytes = 1 << 20;

// The EXIF orientation (1 to 8) from a JPEG's or a TIFF's first IFD, as
// the decoder's metadata gives it; nothing when it gives none.
std::optional<int> Orientation(IWICBitmapFrameDecode* frame) {
  com_ptr<IWICMetadataQueryReader> reader;
  if (FAILED(frame->GetMetadataQueryReader(reader.put())) || !reader) return std::nullopt;
  for (const wchar_t* query : {L"/app1/ifd/{ushort=274}", L"/ifd/{ushort=274}"}) {
    PROPVARIANT value;
    PropVariantInit(&value);
    int orientation = 0;
    if (SUCCEEDED(reader->GetMetadataByName(query, &value)) && value.vt == VT_UI2) orientation = value.uiVal;
    PropVariantClear(&value);
    if (IsOrientation(orientation)) return orientation;
  }
  return std::nullopt;
}

// Whole rows of a source, from row y on.
WICRect Band(PixelSize source, std::uint32_t y, std::uint32_t rows) {
  return {0, static_cast<INT>(y), static_cast<INT>(source.width), static_cast<INT>(rows)};
}

std::optional<std::uint32_t> DirectBytesPerPixel(const WICPixelFormatGUID& format) {
  if (format == GUID_WICPixelFormat24bppBGR) return 3;
  if (format == GUID_WICPixelFormat32bppBGR) return 4;
  return std::nullopt;
}

// Scales through the decoder's own DCT scaling where it has one, to the
// smallest size it offers that is still at least the target.
bool ScaleInDecoder(IWICBitmapFrameDecode* frame, PixelSize stored, PixelSize target, std::uint8_t* pixels,
                    std::size_t stride) {
  com_ptr<IWICSourceTransform> transform;
  if (FAILED(frame->QueryInterface(kIidWICSourceTransform, transform.put_void())) || !transform) return false;
  UINT width = target.width, height = target.height;
  if (FAILED(transform->GetClosestSize(&width, &height))) return false;
  if (!TakesDecoderScale({width, height}, target, stored)) return false;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(transform->GetClosestPixelFormat(&format))) return false;
  const auto bpp = DirectBytesPerPixel(format);
  const PixelSize scaled{width, height};
  if (!bpp || !IsSanePictureSize(scaled, *bpp)) return false;
  Resampler resampler(scaled, *bpp, target, pixels, stride);
  return FeedBands(resampler, scaled, *bpp, kBandBytes,
                   [&](std::uint32_t y, std::uint32_t rows, std::size_t rowBytes, BYTE* band) {
                     const WICRect rect = Band(scaled, y, rows);
                     WICPixelFormatGUID written = format;
                     // The decoder says which format it wrote; rows of another one would be
                     // read as garbage.
                     return SUCCEEDED(transform->CopyPixels(&rect, width, height, &written, WICBitmapTransformRotate0,
                                                            static_cast<UINT>(rowBytes),
                                                            static_cast<UINT>(rowBytes * rows), band)) &&
                            written == format;
                   });
}

bool ScaleFrame(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, PixelSize stored, PixelSize target,
                std::uint8_t* pixels, std::size_t stride) {
  if (ScaleInDecoder(frame, stored, target, pixels, stride)) return true;
  WICPixelFormatGUID format{};
  if (FAILED(frame->GetPixelFormat(&format))) return false;
  IWICBitmapSource* source = frame;
  com_ptr<IWICFormatConverter> converter;
  std::uint32_t bpp = 4;
  if (const auto direct = DirectBytesPerPixel(format)) {
    bpp = *direct;
  } else {
    // Everything else as premultiplied BGRA: transparent parts come out
    // black, the colour of the frame behind the photo.
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
      return false;
    }
    source = converter.get();
  }
  if (!IsSanePictureSize(stored, bpp)) return false;
  Resampler resampler(stored, bpp, target, pixels, stride);
  return FeedBands(
      resampler, stored, bpp, kBandBytes, [&](std::uint32_t y, std::uint32_t rows, std::size_t rowBytes, BYTE* band) {
        const WICRect rect = Band(stored, y, rows);
        return SUCCEEDED(
            source->CopyPixels(&rect, static_cast<UINT>(rowBytes), static_cast<UINT>(rowBytes * rows), band));
      });
}

std::optional<PictureHead> ReadFileHead(const std::wstring& path) {
  const unique_hfile file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;  // no file, a folder, or a drive that cannot be read
  std::vector<std::uint8_t> bytes(kPictureHeadBytes);
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return std::nullopt;
  return ReadPictureHead(std::span(bytes).first(read));
}

// What both loaders do with their bytes: the head read, a picture it
// declares too big refused, then the first frame decoded (make: the
// decoder over the bytes). Never throws.
template <typename ReadHeadOf, typename MakeDecoder>
unique_hbitmap Decoded(SIZE target, ReadHeadOf&& readHead, MakeDecoder&& make) {
  try {
    const std::optional<PictureHead> head = readHead();
    if (!head || !head->acceptable) return {};
    auto factory = WicFactory();
    com_ptr<IWICBitmapDecoder> decoder;
    com_ptr<IWICBitmapFrameDecode> frame;
    if (!factory || !make(factory.get(), decoder) || FAILED(decoder->GetFrame(0, frame.put()))) return {};
    return PictureFromFrame(factory.get(), frame.get(), target, head->orientation.value_or(1));
  } catch (const std::exception&) {
    return {};  // out of memory on the way: no picture
  }
}

}  // namespace

com_ptr<IWICImagingFactory> WicFactory() {
  com_ptr<IWICImagingFactory> factory;
  CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put()));
  return factory;
}

unique_hbitmap PictureFromFrame(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, SIZE wanted,
                                int orientationFallback) {
  try {
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height))) return {};
    const PixelSize stored{width, height};
    if (!IsSanePictureSize(stored)) return {};
    // Decoders without metadata support (Wine's) leave the tag to our own reading.
    const int orientation = Orientation(frame).value_or(orientationFallback);
    const PixelSize upright = StoredSize(stored, orientation);
    const PixelSize target = TargetSize(wanted.cx, wanted.cy, upright);
    if (!IsSanePictureSize(target)) return {};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(target.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(target.height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    unique_hbitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return {};

    if (!ScaleUpright(target, orientation, static_cast<std::uint8_t*>(bits), std::size_t{target.width} * 4,
                      [&](PixelSize size, std::uint8_t* pixels, std::size_t stride) {
                        return ScaleFrame(factory, frame, stored, size, pixels, stride);
                      })) {
      return {};
    }
    GdiFlush();
    return bitmap;
  } catch (const std::exception&) {
    return {};  // out of memory on the way: no picture
  }
}

unique_hbitmap LoadPictureFile(const std::wstring& path, SIZE target) {
  const no_critical_error_boxes quiet;
  // Some decoders (Wine's JPEG decoder among them) decode everything as
  // soon as they are created, and fall over on a header that claims
  // absurd dimensions: such a file is refused before any decoder sees it.
  return Decoded(
      target, [&] { return ReadFileHead(path); },
      [&](IWICImagingFactory* factory, com_ptr<IWICBitmapDecoder>& decoder) {
        return SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                            WICDecodeMetadataCacheOnDemand, decoder.put()));
      });
}

unique_hbitmap LoadPictureResource(HINSTANCE instance, int resourceId, SIZE target) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  auto* data = static_cast<BYTE*>(loaded ? LockResource(loaded) : nullptr);
  const DWORD size = found ? SizeofResource(instance, found) : 0;
  if (!data || size == 0) return {};
  com_ptr<IWICStream> stream;
  return Decoded(
      target,
      [&] {
        return std::optional(
            ReadPictureHead(std::span<const std::uint8_t>(data, std::min<DWORD>(size, kPictureHeadBytes))));
      },
      [&](IWICImagingFactory* factory, com_ptr<IWICBitmapDecoder>& decoder) {
        return SUCCEEDED(factory->CreateStream(stream.put())) && SUCCEEDED(stream->InitializeFromMemory(data, size)) &&
               SUCCEEDED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                          decoder.put()));
      });
}

}  // namespace salvanto::win
