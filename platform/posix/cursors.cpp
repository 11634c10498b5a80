// LoadCursorA over the toolkit's named cursors and the executable's cursor resources.
#include "cursors.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "littleendian.h"
#include "resources.h"
#include "winapi.h"

namespace winposix {

namespace {

constexpr int kSize = 32;
constexpr size_t kHotSpotSize = 4;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kGroupHeaderSize = 6;
constexpr size_t kGroupEntrySize = 14;

// Marks transparent pixels next to inverting ones opaque white (see cursors.h).
void OutlineInvertedPixels(std::vector<uint32_t>& argb, const std::vector<bool>& inverted) {
  const std::vector<uint32_t> before = argb;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const size_t at = size_t(y) * kSize + x;
      if (before[at] != 0) continue;
      const bool touches = (x > 0 && inverted[at - 1]) || (x + 1 < kSize && inverted[at + 1]) ||
                           (y > 0 && inverted[at - kSize]) || (y + 1 < kSize && inverted[at + kSize]);
      if (touches) argb[at] = 0xFFFFFFFFu;
    }
}

struct Registry {
  std::mutex lock;
  std::map<uint32_t, std::unique_ptr<CursorImage>> system;        // by IDC_ number
  std::map<const void*, std::unique_ptr<CursorImage>> resources;  // by group resource
  std::set<const CursorImage*> handles;
};

Registry& Cursors() {
  static Registry* registry = new Registry;  // handles live until the process ends
  return *registry;
}

HCURSOR Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

HCURSOR Handle(const CursorImage* image) { return reinterpret_cast<HCURSOR>(const_cast<CursorImage*>(image)); }

HCURSOR LoadSystemCursor(LPCSTR name) {
  if (!IS_INTRESOURCE(name)) return Fail(ERROR_RESOURCE_NAME_NOT_FOUND);
  const uint32_t idc = static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(name));
  const char* css = SystemCursorName(idc);
  if (!css) return Fail(ERROR_RESOURCE_NAME_NOT_FOUND);
  Registry& r = Cursors();
  std::lock_guard<std::mutex> hold(r.lock);
  std::unique_ptr<CursorImage>& slot = r.system[idc];
  if (!slot) {
    slot = std::make_unique<CursorImage>();
    slot->systemName = css;
    r.handles.insert(slot.get());
  }
  return Handle(slot.get());
}

HCURSOR LoadResourceCursor(HINSTANCE module, LPCSTR name) {
  const HRSRC group = FindResourceA(module, name, RT_GROUP_CURSOR);
  if (!group) return nullptr;  // FindResourceA has set the error
  Registry& r = Cursors();
  {
    std::lock_guard<std::mutex> hold(r.lock);
    auto it = r.resources.find(group);
    if (it != r.resources.end()) return Handle(it->second.get());
  }
  uint16_t id = 0;
  uint32_t bytes = 0;
  if (!PickGroupCursor(static_cast<const uint8_t*>(LockResource(LoadResource(module, group))),
                       SizeofResource(module, group), id, bytes))
    return Fail(ERROR_INVALID_DATA);
  const HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(id), RT_CURSOR);
  if (!image) return Fail(ERROR_RESOURCE_DATA_NOT_FOUND);
  const DWORD size = SizeofResource(module, image);
  auto decoded = std::make_unique<CursorImage>();
  if (size != bytes ||
      !DecodeCursorImage(static_cast<const uint8_t*>(LockResource(LoadResource(module, image))), size, *decoded))
    return Fail(ERROR_INVALID_DATA);
  std::lock_guard<std::mutex> hold(r.lock);
  std::unique_ptr<CursorImage>& slot = r.resources[group];
  if (!slot) {  // another thread may have loaded it meanwhile: keep the first
    slot = std::move(decoded);
    r.handles.insert(slot.get());
  }
  return Handle(slot.get());
}

}  // namespace

const char* SystemCursorName(uint32_t idc) {
  switch (idc) {
    case 32512:
      return "default";  // IDC_ARROW
    case 32513:
      return "text";  // IDC_IBEAM
    case 32514:
      return "wait";  // IDC_WAIT
    case 32515:
      return "crosshair";  // IDC_CROSS
    case 32516:
      return "n-resize";  // IDC_UPARROW: the theme's nearest upward arrow
    case 32631:
      return "pencil";  // the pen (handwriting) cursor
    case 32642:
      return "nwse-resize";  // IDC_SIZENWSE
    case 32643:
      return "nesw-resize";  // IDC_SIZENESW
    case 32644:
      return "ew-resize";  // IDC_SIZEWE
    case 32645:
      return "ns-resize";  // IDC_SIZENS
    case 32646:
      return "move";  // IDC_SIZEALL
    case 32648:
      return "not-allowed";  // IDC_NO
    case 32649:
      return "pointer";  // IDC_HAND
    case 32650:
      return "progress";  // IDC_APPSTARTING
    case 32651:
      return "help";  // IDC_HELP
    default:
      return nullptr;
  }
}

bool PickGroupCursor(const uint8_t* data, size_t size, uint16_t& id, uint32_t& bytes) {
  if (!data || size < kGroupHeaderSize || Get16(data) != 0 || Get16(data + 2) != 2) return false;
  const size_t count = Get16(data + 4);
  if (count > (size - kGroupHeaderSize) / kGroupEntrySize) return false;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = data + kGroupHeaderSize + i * kGroupEntrySize;
    // A cursor directory gives the height of the XOR bitmap and the AND mask together.
    if (Get16(e) == kSize && Get16(e + 2) == 2 * kSize) {
      bytes = Get32(e + 8);
      id = Get16(e + 12);
      return true;
    }
  }
  return false;
}

bool DecodeCursorImage(const uint8_t* data, size_t size, CursorImage& image) {
  if (!data || size < kHotSpotSize + kInfoHeaderSize) return false;
  const int hotX = Get16(data), hotY = Get16(data + 2);
  const uint8_t* info = data + kHotSpotSize;
  const uint32_t headerSize = Get32(info);
  const int32_t width = static_cast<int32_t>(Get32(info + 4));
  const int32_t height = static_cast<int32_t>(Get32(info + 8));
  const uint16_t planes = Get16(info + 12), bitCount = Get16(info + 14);
  const uint32_t compression = Get32(info + 16), coloursUsed = Get32(info + 32);
  if (headerSize != kInfoHeaderSize || width != kSize || height != 2 * kSize || planes != 1 ||
      (bitCount != 1 && bitCount != 4) || compression != 0 /* BI_RGB */)
    return false;
  const uint32_t colours = 1u << bitCount;
  if (coloursUsed != 0 && coloursUsed != colours) return false;
  if (hotX >= kSize || hotY >= kSize) return false;
  const size_t xorStride = (size_t(kSize) * bitCount + 31) / 32 * 4;
  const size_t andStride = (size_t(kSize) + 31) / 32 * 4;
  const size_t tableAt = kHotSpotSize + kInfoHeaderSize;
  const size_t xorAt = tableAt + colours * 4;
  const size_t andAt = xorAt + xorStride * kSize;
  if (size < andAt + andStride * kSize) return false;

  uint32_t table[16];
  for (uint32_t i = 0; i < colours; ++i) {
    const uint8_t* q = data + tableAt + 4 * i;  // RGBQUAD: blue, green, red, reserved
    table[i] = uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
  }
  std::vector<uint32_t> argb(size_t(kSize) * kSize, 0);
  std::vector<bool> inverted(argb.size(), false);
  bool anyInverted = false;
  for (int y = 0; y < kSize; ++y) {
    const int row = kSize - 1 - y;  // bitmaps are stored bottom-up
    const uint8_t* xorRow = data + xorAt + size_t(row) * xorStride;
    const uint8_t* andRow = data + andAt + size_t(row) * andStride;
    for (int x = 0; x < kSize; ++x) {
      const bool mask = (andRow[x / 8] >> (7 - x % 8)) & 1;
      const unsigned index =
          bitCount == 1 ? (xorRow[x / 8] >> (7 - x % 8)) & 1 : (xorRow[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
      const uint32_t rgb = table[index];
      const size_t at = size_t(y) * kSize + x;
      if (!mask)
        argb[at] = 0xFF000000u | rgb;
      else if (rgb != 0) {
        argb[at] = 0xFF000000u;
        inverted[at] = anyInverted = true;
      }
    }
  }
  if (anyInverted) OutlineInvertedPixels(argb, inverted);
  image.systemName.clear();
  image.width = kSize;
  image.height = kSize;
  image.hotX = hotX;
  image.hotY = hotY;
  image.bitCount = bitCount;
  image.argb = std::move(argb);
  return true;
}

const CursorImage* CursorImageOf(HCURSOR cursor) {
  if (!cursor) return nullptr;
  const auto* image = reinterpret_cast<const CursorImage*>(cursor);
  Registry& r = Cursors();
  std::lock_guard<std::mutex> hold(r.lock);
  return r.handles.count(image) ? image : nullptr;
}

}  // namespace winposix

using namespace winposix;

HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  if (!lpCursorName) return Fail(ERROR_INVALID_PARAMETER);
  if (!hInstance) return LoadSystemCursor(lpCursorName);
  return LoadResourceCursor(hInstance, lpCursorName);
}
