#include "pendingresource.h"

#include <system_error>

namespace winposix {

std::vector<const PendingResource*> WriteOrder(const std::vector<PendingResource>& resources) {
  std::vector<const PendingResource*> order;
  for (const PendingResource& r : resources)
    if (!r.producer) order.push_back(&r);
  for (const PendingResource& r : resources)
    if (r.producer) order.push_back(&r);
  return order;
}

void Produce(const PendingResource& r, ResourceSink& sink) {
  try {
    r.producer(sink);
  } catch (const std::system_error&) {
    throw;  // a failed write: its errno is the update's error
  } catch (const std::bad_alloc&) {
    throw;
  } catch (...) {
    throw ProducerFailed();
  }
}

}  // namespace winposix
