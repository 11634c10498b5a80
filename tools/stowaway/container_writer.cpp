#include "container_writer.h"

#include "storage/acFileStorage.h"
#include "storage/acStoredFile.h"

std::uint64_t WriteContainer(TStream& out, std::vector<ContainerInput> inputs,
                             const std::function<void(std::size_t)>& packed) {
  const std::int64_t start = out.Position();
  out.WriteDWord(static_cast<std::uint32_t>(kStoredDataMagic));
  out.WriteDWord(static_cast<std::uint32_t>(inputs.size()));
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    {
      TStoredFile file(nullptr);
      file.FileName = inputs[i].name;
      const std::shared_ptr<const MappedFile> source = std::move(inputs[i].map);
      file.SetContentView(TSharedBytes(source, source->data()), static_cast<std::int64_t>(source->size()), false, 0);
      file.WriteToStream(out, inputs[i].observe);
    }
    if (packed) packed(i);
  }
  return static_cast<std::uint64_t>(out.Position() - start);
}
