// UpdateResourceProducedA over the system's resource update: the producer runs at once into
// memory and its bytes go to UpdateResourceA, which copies them as Windows does. A producer
// that throws makes this call fail (ERROR_WRITE_FAULT) instead of EndUpdateResourceA.
#include "producedresource.h"

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

namespace {

class MemorySink : public ResourceSink {
 public:
  void Write(const void* data, size_t n) override { bytes.append(static_cast<const char*>(data), n); }
  void Patch(uint64_t offset, const void* data, size_t n) override {
    if (offset > bytes.size() || n > bytes.size() - offset) throw std::out_of_range("patch beyond the bytes written");
    std::memcpy(&bytes[static_cast<size_t>(offset)], data, n);
  }
  uint64_t Size() const override { return bytes.size(); }

  std::string bytes;
};

}  // namespace

BOOL UpdateResourceProducedA(HANDLE hUpdate, LPCSTR lpType, LPCSTR lpName, WORD wLanguage, ResourceProducer producer) {
  if (!producer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  MemorySink sink;
  try {
    producer(sink);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  } catch (...) {
    SetLastError(ERROR_WRITE_FAULT);
    return FALSE;
  }
  if (sink.bytes.size() > 0xFFFFFFFFu) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  return UpdateResourceA(hUpdate, lpType, lpName, wLanguage, sink.bytes.data(), static_cast<DWORD>(sink.bytes.size()));
}
