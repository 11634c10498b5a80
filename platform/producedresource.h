// Resources whose bytes are made while EndUpdateResourceA writes the executable, for callers
// whose data is large (a packed container): the data goes to the file as it is made, through
// a small buffer, instead of being held whole in memory and copied by UpdateResourceA.
//
// This is our own addition beside the Windows API calls; BeginUpdateResourceA,
// UpdateResourceA and EndUpdateResourceA keep their documented behaviour for other callers.
// On Windows (win32/producedresource.cpp) the producer runs at once into memory and its bytes
// go to the system's UpdateResourceA; callers must allow for either moment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "winapi.h"

// Where a producer puts the bytes of its resource, in order.
class ResourceSink {
 public:
  virtual ~ResourceSink() = default;
  // Appends n bytes to the resource.
  virtual void Write(const void* data, size_t n) = 0;
  // Overwrites n bytes already written, `offset` bytes from the resource's start (for a
  // length that is known only once what follows it is written).
  virtual void Patch(uint64_t offset, const void* data, size_t n) = 0;
  // Bytes written so far.
  virtual uint64_t Size() const = 0;
};

using ResourceProducer = std::function<void(ResourceSink&)>;

// Adds or replaces a resource as UpdateResourceA does, but its bytes are made by `producer`,
// called once by EndUpdateResourceA while it writes the file (never when the update is
// discarded). Produced resources are written after all others, in the order given. When the
// producer throws, EndUpdateResourceA fails (ERROR_WRITE_FAULT, or the errno of a failed
// write) and the file is left as it was; a caller that wants the reason keeps it itself.
BOOL UpdateResourceProducedA(HANDLE hUpdate, LPCSTR lpType, LPCSTR lpName, WORD wLanguage, ResourceProducer producer);
