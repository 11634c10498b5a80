// Fuzz target for the stored-data container reader: any bytes either read into files or stop
// with a read error; files that were read write back as a container that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Exceptions.h"
#include "core/MemoryStream.h"
#include "storage/acFileStorage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TacFileStorage storage(nullptr);
  storage.CheckContentOnRead = true;  // every content read is whole, so it can be written back
  TMemoryStream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    storage.ReadStoredData(in);
  } catch (const EReadError&) {
    return 0;
  }
  if (storage.Count() != storage.Files()->Count() || storage.Count() <= 0) return 0;
  TMemoryStream out;
  storage.WriteStoredData(out);
  TacFileStorage again(nullptr);
  again.CheckContentOnRead = true;
  out.SetPosition(0);
  again.ReadStoredData(out);  // must not throw
  if (again.Count() != storage.Count()) std::abort();
  for (int i = 0; i < storage.Count(); ++i)
    if (again.File(i)->FileName != storage.File(i)->FileName || again.File(i)->Content() != storage.File(i)->Content())
      std::abort();
  return 0;
}
