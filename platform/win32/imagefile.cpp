// Picture files through the Windows Imaging Component.
#include "imagefile.h"

#include <stdexcept>

#include "winapi.h"
#include <wincodec.h>

namespace {

template <class T>
struct Com {
  T* p = nullptr;
  ~Com() {
    if (p) p->Release();
  }
  T* operator->() const { return p; }
};

std::wstring Wide(const std::string& path) {
  const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  std::wstring w(n > 0 ? n : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, w.data(), n);
  w.resize(w.size() - 1);
  return w;
}

// COM for this thread while a picture is read.
struct ComScope {
  bool owned = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  ~ComScope() {
    if (owned) CoUninitialize();
  }
};

struct Opened {
  ComScope com;
  Com<IWICImagingFactory> factory;
  Com<IWICBitmapDecoder> decoder;
  Com<IWICBitmapFrameDecode> frame;
};

// Opens the file's first frame; false when WIC knows no decoder for it.
bool Open(const std::string& path, Opened& o) {
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&o.factory.p))))
    throw std::runtime_error("the Windows Imaging Component is not available");
  const std::wstring name = Wide(path);
  if (FAILED(o.factory->CreateDecoderFromFilename(name.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  &o.decoder.p)))
    return false;
  return SUCCEEDED(o.decoder->GetFrame(0, &o.frame.p));
}

std::string FormatName(IWICBitmapDecoder* decoder) {
  GUID format{};
  if (FAILED(decoder->GetContainerFormat(&format))) return "";
  if (IsEqualGUID(format, GUID_ContainerFormatPng)) return "png";
  if (IsEqualGUID(format, GUID_ContainerFormatJpeg)) return "jpeg";
  if (IsEqualGUID(format, GUID_ContainerFormatBmp)) return "bmp";
  return "other";
}

}  // namespace

ImageFileInfo ReadImageFileInfo(const std::string& path) {
  ImageFileInfo info;
  Opened o;
  if (!Open(path, o)) return info;
  UINT width = 0, height = 0;
  if (FAILED(o.frame->GetSize(&width, &height))) return info;
  info.format = FormatName(o.decoder.p);
  info.width = static_cast<int>(width);
  info.height = static_cast<int>(height);
  return info;
}

DecodedImage DecodeImageFile(const std::string& path) {
  Opened o;
  if (!Open(path, o)) throw std::runtime_error("no decoder takes the file");
  Com<IWICFormatConverter> converter;
  if (FAILED(o.factory->CreateFormatConverter(&converter.p)) ||
      FAILED(converter->Initialize(o.frame.p, GUID_WICPixelFormat32bppRGBA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    throw std::runtime_error("the pixel format is not supported");
  UINT width = 0, height = 0;
  if (FAILED(converter->GetSize(&width, &height))) throw std::runtime_error("cannot be read");
  DecodedImage out;
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  out.rgba.resize(static_cast<size_t>(width) * height * 4);
  if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(out.rgba.size()), out.rgba.data())))
    throw std::runtime_error("cannot be decoded");
  return out;
}
