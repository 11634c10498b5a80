// A resource of an update begun by BeginUpdateResourceA, as the file writers take it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../producedresource.h"

namespace winposix {

struct PendingResource {
  uint32_t type = 0;      // a numeric type; 0 for a named type (PE files only)
  std::string typeName;   // the named type, UTF-8 (PE files only)
  std::string name;       // upper case, "#n" for numbers; UTF-8 in PE files
  uint16_t language = 0;  // kept in PE files only
  std::string_view data;  // the bytes, kept alive by `owner`
  std::shared_ptr<const void> owner;
  ResourceProducer producer;  // set: the bytes are made while the file is written
};

// Resources in the order a file writer puts them: those with data as listed, then the
// produced ones as listed.
std::vector<const PendingResource*> WriteOrder(const std::vector<PendingResource>& resources);

// Runs the resource's producer; any failure but a failed write (std::system_error) or a lack of
// memory is thrown as ProducerFailed.
struct ProducerFailed {};
void Produce(const PendingResource& r, ResourceSink& sink);

}  // namespace winposix
