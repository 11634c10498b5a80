#pragma once
// TStringList: a list of 8-bit strings, optionally kept sorted (case-insensitive, duplicates
// kept). Text joins the lines with "\n" after each; setting Text splits at CR, LF or CR LF.
#include <string>
#include <vector>

#include "Persistent.h"

class TStringList : public TPersistent {
  STOWAWAY_CLASS(TStringList, TPersistent)

  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Strings(int index) const;
  const std::string& operator[](int index) const { return Strings(index); }
  void Put(int index, const std::string& s);  // not allowed on a sorted list
  int Add(const std::string& s);              // returns the index
  void Insert(int index, const std::string& s);
  void Delete(int index);
  int IndexOf(const std::string& s) const;  // case-insensitive, -1 when absent
  void Clear() { items_.clear(); }
  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  std::string Text() const;
  void SetText(const std::string& text);
  void Assign(TPersistent* source) override;

 private:
  [[noreturn]] void IndexError(int index) const;
  std::vector<std::string> items_;
  bool sorted_ = false;
};
