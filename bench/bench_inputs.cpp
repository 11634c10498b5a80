#include "bench_inputs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

// Common English words, roughly by frequency: earlier words are drawn more often.
const char* const kWords[] = {
    "the",       "of",       "and",        "to",       "a",         "in",       "is",     "it",      "you",
    "that",      "he",       "was",        "for",      "on",        "are",      "with",   "as",      "his",
    "they",      "be",       "at",         "one",      "have",      "this",     "from",   "or",      "had",
    "by",        "word",     "but",        "what",     "some",      "we",       "can",    "out",     "other",
    "were",      "all",      "there",      "when",     "up",        "use",      "your",   "how",     "said",
    "an",        "each",     "she",        "which",    "do",        "their",    "time",   "if",      "will",
    "way",       "about",    "many",       "then",     "them",      "write",    "would",  "like",    "so",
    "these",     "her",      "long",       "make",     "thing",     "see",      "him",    "two",     "has",
    "look",      "more",     "day",        "could",    "go",        "come",     "did",    "number",  "sound",
    "no",        "most",     "people",     "my",       "over",      "know",     "water",  "than",    "call",
    "first",     "who",      "may",        "down",     "side",      "been",     "now",    "find",    "any",
    "new",       "work",     "part",       "take",     "get",       "place",    "made",   "live",    "where",
    "after",     "back",     "little",     "only",     "round",     "man",      "year",   "came",    "show",
    "every",     "good",     "me",         "give",     "our",       "under",    "name",   "very",    "through",
    "just",      "form",     "sentence",   "great",    "think",     "say",      "help",   "low",     "line",
    "differ",    "turn",     "cause",      "much",     "mean",      "before",   "move",   "right",   "boy",
    "old",       "too",      "same",       "tell",     "does",      "set",      "three",  "want",    "air",
    "well",      "also",     "play",       "small",    "end",       "put",      "home",   "read",    "hand",
    "port",      "large",    "spell",      "add",      "even",      "land",     "here",   "must",    "big",
    "high",      "such",     "follow",     "act",      "why",       "ask",      "men",    "change",  "went",
    "light",     "kind",     "off",        "need",     "house",     "picture",  "try",    "us",      "again",
    "animal",    "point",    "mother",     "world",    "near",      "build",    "self",   "earth",   "father",
    "installer", "window",   "program",    "file",     "component", "storage",  "stream", "Windows", "between",
    "important", "question", "government", "children", "together",  "something"};
constexpr std::size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

std::vector<std::uint8_t> EnglishText(std::size_t n) {
  std::mt19937 gen(1);
  std::vector<std::uint8_t> out;
  out.reserve(n + 64);
  std::size_t lineStart = 0;
  bool sentenceStart = true;
  std::size_t wordsInSentence = 0;
  while (out.size() < n) {
    // Squaring a uniform draw favours the frequent words at the start of the list.
    const double u = std::uniform_real_distribution<double>(0, 1)(gen);
    std::string w = kWords[static_cast<std::size_t>(u * u * kWordCount)];
    if (sentenceStart) w[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(w[0])));
    sentenceStart = false;
    out.insert(out.end(), w.begin(), w.end());
    ++wordsInSentence;
    const unsigned r = gen() % 100;
    if (wordsInSentence > 5 && r < 12) {
      out.push_back(r < 9 ? '.' : (r < 11 ? '?' : '!'));
      sentenceStart = true;
      wordsInSentence = 0;
      if (gen() % 6 == 0) {
        out.insert(out.end(), {'\r', '\n', '\r', '\n'});
        lineStart = out.size();
        continue;
      }
    } else if (r < 20) {
      out.push_back(',');
    }
    if (out.size() - lineStart > 72) {
      out.insert(out.end(), {'\r', '\n'});
      lineStart = out.size();
    } else {
      out.push_back(' ');
    }
  }
  out.resize(n);
  return out;
}

std::vector<std::uint8_t> RandomBytes(std::size_t n) {
  std::mt19937_64 gen(42);
  std::vector<std::uint8_t> out(n);
  for (std::size_t i = 0; i + 8 <= n; i += 8) {
    const std::uint64_t v = gen();
    for (int k = 0; k < 8; ++k) out[i + k] = static_cast<std::uint8_t>(v >> (8 * k));
  }
  return out;
}

// An 8-bit paletted picture 1024 pixels wide: a flat background, flat rectangles, a
// dithered gradient band and small noisy "icons", like a screenshot or a wizard bitmap.
std::vector<std::uint8_t> Bitmap(std::size_t n) {
  constexpr std::size_t kWidth = 1024;
  const std::size_t height = (n + kWidth - 1) / kWidth;
  std::vector<std::uint8_t> img(height * kWidth, 0xF0);  // background
  std::mt19937 gen(3);
  for (std::size_t y = 0; y < height; ++y) {
    if (y % 512 >= 48) continue;
    // A gradient band with ordered dithering between neighbouring palette entries.
    for (std::size_t x = 0; x < kWidth; ++x) {
      img[y * kWidth + x] = static_cast<std::uint8_t>(16 + x / 32 + (((x ^ y) & 3) == 0));
    }
  }
  for (std::size_t top = 0; top < height; top += 97) {
    for (int k = 0; k < 4; ++k) {
      const std::size_t x0 = gen() % 900, y0 = top + gen() % 40;
      const std::size_t w = 40 + gen() % 300, h = 10 + gen() % 80;
      const auto color = static_cast<std::uint8_t>(gen());
      for (std::size_t y = y0; y < std::min(height, y0 + h); ++y) {
        std::fill_n(img.begin() + static_cast<long>(y * kWidth + x0), std::min(w, kWidth - x0), color);
      }
    }
  }
  for (std::size_t y = 0; y < height; ++y) {
    if (y % 128 < 100 || y % 128 >= 116) continue;
    for (std::size_t x = 0; x < kWidth; ++x) {
      if (x % 200 < 16) img[y * kWidth + x] = static_cast<std::uint8_t>(gen());
    }
  }
  img.resize(n);
  return img;
}

// A slice of the largest shared library under /usr/lib/x86_64-linux-gnu (taken from a
// quarter into the file, tiled when the file is short); this program itself otherwise.
std::vector<std::uint8_t> Executable(std::size_t n, std::string& source) {
  namespace fs = std::filesystem;
  fs::path best = "/proc/self/exe";
  std::uintmax_t bestSize = 0;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator("/usr/lib/x86_64-linux-gnu", ec)) {
    const std::string name = e.path().filename().string();
    if (name.find(".so") == std::string::npos || !e.is_regular_file(ec)) continue;
    const std::uintmax_t size = e.file_size(ec);
    if (!ec && size > bestSize) {
      best = e.path();
      bestSize = size;
    }
  }
  std::ifstream in(best, std::ios::binary);
  std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  source = best.string();
  if (file.empty()) {
    source = "random fallback";
    return RandomBytes(n);
  }
  std::vector<std::uint8_t> out(n);
  const std::size_t start = file.size() > n ? (file.size() - n) / 4 : 0;
  for (std::size_t i = 0; i < n; ++i) out[i] = file[(start + i) % file.size()];
  return out;
}

}  // namespace

std::vector<BenchInput> MakeBenchInputs(std::size_t n) {
  std::string exeSource;
  std::vector<BenchInput> inputs;
  inputs.push_back({"text", EnglishText(n), "English-like words"});
  inputs.push_back({"random", RandomBytes(n), "mt19937_64, seed 42"});
  inputs.push_back({"bitmap", Bitmap(n), "8-bit image, 1024 wide"});
  std::vector<std::uint8_t> exe = Executable(n, exeSource);
  inputs.push_back({"exe", std::move(exe), exeSource});
  return inputs;
}
