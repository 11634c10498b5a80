// Draws the product logo, a 148 x 149 BMP with 8 bits per pixel and a 256-colour palette:
// a rounded square with a blue gradient, a white "Q" ring with its tail and a golden quill.
// Usage: make_logo OUT.bmp
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 148, kHeight = 149, kSamples = 4;

struct Rgb {
  double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

const Rgb kWhite{255, 255, 255}, kNavy{16, 42, 107}, kSky{60, 141, 217}, kGold{242, 180, 40}, kDarkGold{170, 110, 20};

double Clamp01(double v) { return std::min(1.0, std::max(0.0, v)); }

// Distance from (x, y) to the segment a-b.
double SegmentDistance(double x, double y, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double t = Clamp01(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy));
  return std::hypot(x - (ax + t * dx), y - (ay + t * dy));
}

bool InRoundedSquare(double x, double y) {
  const double left = 4, top = 4, right = 144, bottom = 145, radius = 26;
  const double cx = std::clamp(x, left + radius, right - radius), cy = std::clamp(y, top + radius, bottom - radius);
  return std::hypot(x - cx, y - cy) <= radius;
}

Rgb Sample(double x, double y) {
  if (!InRoundedSquare(x, y)) return kWhite;
  Rgb c = Mix(kSky, kNavy, y / kHeight);
  // The quill: a golden leaf along the diagonal behind the letter.
  const double qx = x - 74, qy = y - 74;
  const double along = (qx - qy) / std::sqrt(2.0), across = (qx + qy) / std::sqrt(2.0);
  const double half = 52;
  if (std::fabs(along) < half) {
    const double width = 11 * std::sqrt(1 - (along / half) * (along / half));
    if (std::fabs(across + 30) < width) c = Mix(kGold, kDarkGold, Clamp01((across + 30 + width) / (2 * width)));
  }
  // The letter: a ring and a tail.
  const double ring = std::hypot(x - 74, y - 70);
  if ((ring >= 27 && ring <= 40) || SegmentDistance(x, y, 86, 84, 112, 114) <= 6.5) c = kWhite;
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_logo OUT.bmp\n");
    return 2;
  }
  // Supersampled colours.
  std::vector<Rgb> pixels(kWidth * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      Rgb sum{0, 0, 0};
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
          Rgb s = Sample(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
          sum = {sum.r + s.r, sum.g + s.g, sum.b + s.b};
        }
      const double n = kSamples * kSamples;
      pixels[y * kWidth + x] = {sum.r / n, sum.g / n, sum.b / n};
    }
  // The palette: the gradient, white towards the gradient (edges of the letter), gold ramps.
  std::array<Rgb, 256> palette;
  for (int i = 0; i < 128; ++i) palette[i] = Mix(kSky, kNavy, i / 127.0);
  for (int i = 0; i < 32; ++i) palette[128 + i] = Mix(kWhite, kSky, i / 31.0);
  for (int i = 0; i < 32; ++i) palette[160 + i] = Mix(kWhite, kNavy, i / 31.0);
  for (int i = 0; i < 32; ++i) palette[192 + i] = Mix(kGold, kDarkGold, i / 31.0);
  for (int i = 0; i < 16; ++i) palette[224 + i] = Mix(kGold, kSky, i / 15.0);
  for (int i = 0; i < 16; ++i) palette[240 + i] = Mix(kGold, kNavy, i / 15.0);
  palette[255] = kWhite;

  const int stride = (kWidth + 3) & ~3;
  const uint32_t dataAt = 14 + 40 + 256 * 4, fileSize = dataAt + stride * kHeight;
  std::string out;
  auto put16 = [&](uint32_t v) { out += char(v & 0xFF), out += char((v >> 8) & 0xFF); };
  auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
  out += "BM";
  put32(fileSize);
  put32(0);
  put32(dataAt);
  put32(40);
  put32(kWidth);
  put32(kHeight);
  put16(1);
  put16(8);
  put32(0);
  put32(stride * kHeight);
  put32(3780);
  put32(3780);
  put32(256);
  put32(0);
  for (const Rgb& p : palette) {
    out += char(std::lround(p.b)), out += char(std::lround(p.g)), out += char(std::lround(p.r)), out += char(0);
  }
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb& c = pixels[y * kWidth + x];
      int best = 0;
      double bestDistance = 1e30;
      for (int i = 0; i < 256; ++i) {
        const double d = (c.r - palette[i].r) * (c.r - palette[i].r) + (c.g - palette[i].g) * (c.g - palette[i].g) +
                         (c.b - palette[i].b) * (c.b - palette[i].b);
        if (d < bestDistance) bestDistance = d, best = i;
      }
      out += char(best);
    }
    out.append(stride - kWidth, '\0');
  }
  std::ofstream f(argv[1], std::ios::binary);
  f.write(out.data(), static_cast<std::streamsize>(out.size()));
  if (!f) {
    std::fprintf(stderr, "make_logo: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
