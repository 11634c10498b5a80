#pragma once
// TFinally: runs a cleanup when the scope is left, normally or by an exception, as Pascal's
// try ... finally does, instead of the same cleanup written twice around a catch-and-rethrow.
//
//   component->IncludeState(csWriting);
//   TFinally done([&] { component->ExcludeState(csWriting); });
#include <utility>

template <class F>
class TFinally {
 public:
  explicit TFinally(F cleanup) : cleanup_(std::move(cleanup)) {}
  ~TFinally() { cleanup_(); }
  TFinally(const TFinally&) = delete;
  TFinally& operator=(const TFinally&) = delete;

 private:
  F cleanup_;
};
