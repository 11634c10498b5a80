#include "sfpack_reference.h"

namespace {

constexpr std::size_t kBlockSize = 65533;

void Put16(std::vector<std::uint8_t>& out, std::size_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void PutCount(std::vector<std::uint8_t>& out, std::size_t k) {
  if (k <= 255) {
    out.push_back(static_cast<std::uint8_t>(k));
  } else {
    out.push_back(0);
    Put16(out, k);
  }
}

// True when the len bytes from i on lie inside the block and are all equal.
bool RunStartsAt(const std::uint8_t* in, std::size_t n, std::size_t i, std::size_t len) {
  if (i + len > n) return false;
  for (std::size_t k = 1; k < len; ++k) {
    if (in[i + k] != in[i]) return false;
  }
  return true;
}

std::size_t RunEndFrom(const std::uint8_t* in, std::size_t n, std::size_t i) {
  std::size_t j = i + 1;
  while (j < n && in[j] == in[i]) ++j;
  return j;
}

}  // namespace

std::vector<std::uint8_t> ReferencePackBlock(const std::uint8_t* in, std::size_t n) {
  bool occurs[256] = {};
  for (std::size_t i = 0; i < n; ++i) occurs[in[i]] = true;
  int escape = -1;
  for (int v = 0; v < 256; ++v) {
    if (!occurs[v]) {
      escape = v;
      break;
    }
  }

  std::vector<std::uint8_t> out;
  if (escape >= 0) {
    Put16(out, static_cast<std::size_t>(escape));
    std::size_t i = 0;
    while (i < n) {
      if (RunStartsAt(in, n, i, 4)) {
        const std::size_t j = RunEndFrom(in, n, i);
        out.push_back(static_cast<std::uint8_t>(escape));
        out.push_back(in[i]);
        PutCount(out, j - i - 1);
        i = j;
      } else {
        out.push_back(in[i]);
        ++i;
      }
    }
    return out;
  }

  Put16(out, 0);  // the table offset, known at the end
  std::vector<std::size_t> entries;
  std::size_t i = 0;
  while (i < n) {
    if (RunStartsAt(in, n, i, 5)) {
      const std::size_t j = RunEndFrom(in, n, i);
      out.push_back(in[i]);
      entries.push_back(out.size());
      PutCount(out, j - i - 1);
      i = j;
    } else {
      out.push_back(in[i]);
      ++i;
    }
  }
  const std::size_t table = out.size();
  out[0] = static_cast<std::uint8_t>(table & 0xFF);
  out[1] = static_cast<std::uint8_t>(table >> 8);
  for (std::size_t r = entries.size(); r > 0; --r) Put16(out, entries[r - 1]);
  return out;
}

std::vector<std::uint8_t> ReferencePackStream(const std::uint8_t* source, std::size_t n) {
  std::vector<std::uint8_t> out;
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>((n >> shift) & 0xFF));
  }
  for (std::size_t done = 0; done < n;) {
    const std::size_t len = n - done < kBlockSize ? n - done : kBlockSize;
    const std::vector<std::uint8_t> block = ReferencePackBlock(source + done, len);
    Put16(out, block.size());
    out.insert(out.end(), block.begin(), block.end());
    done += len;
  }
  return out;
}
