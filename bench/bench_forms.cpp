// Reading a form whose root owns many siblings: each name is checked against the siblings
// already read, so the time per component shows whether that check grows with their number.
#include <benchmark/benchmark.h>

#include "core/FormStreaming.h"
#include "core/MemoryStream.h"
#include "core/PropertyRegistry.h"

namespace {
class TBenchItem : public TComponent {
  STOWAWAY_CLASS(TBenchItem, TComponent)
  explicit TBenchItem(TComponent* owner) : TComponent(owner) {}
};
}  // namespace

const TClassInfo& TBenchItem::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TBenchItem>("TBenchItem").Build();
  return info;
}

namespace {
std::string SiblingsForm(int count) {
  TBenchItem root(nullptr);
  root.SetName("Root");
  for (int i = 0; i < count; ++i) (new TBenchItem(&root))->SetName("Item" + std::to_string(i));
  TMemoryStream out;
  WriteForm(out, root);
  return out.Bytes();
}

void BM_ReadSiblings(benchmark::State& state) {
  RegisterClass(TBenchItem::StaticClassInfo());
  const std::string form = SiblingsForm(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TMemoryStream in(form);
    auto root = ReadForm(in);
    benchmark::DoNotOptimize(root.get());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadSiblings)->Arg(1000)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
