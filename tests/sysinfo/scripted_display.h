// A display for tests: a screen of a given depth and size that offers only the modes the test
// allows, and a log of every connection, question and change the platform makes of it.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/displaydriver.h"

class ScriptedDisplay : public winposix::DisplayDriver {
 public:
  bool present = true;  // false: no screen at all
  int bitsPerPixel = 32;
  bool throwOnBits = false;
  int width = 1024, height = 768;
  std::set<int> depths;                 // offered bits per pixel
  std::set<std::pair<int, int>> sizes;  // offered sizes
  bool applyFails = false;
  std::function<void()> onOffer;  // runs at each question, before the answer

  int opened = 0, released = 0;
  std::vector<std::string> log;    // "offers 16", "apply 1280x1024", ...
  std::vector<DEVMODEA> requests;  // every record asked about or applied

  std::unique_ptr<winposix::DisplayScreen> Open() override {
    if (!present) return nullptr;
    ++opened;
    return std::make_unique<Screen>(*this);
  }

  static std::string Describe(const DEVMODEA& m) {
    std::string text;
    if (m.dmFields & DM_BITSPERPEL) text = std::to_string(m.dmBitsPerPel);
    if (m.dmFields & (DM_PELSWIDTH | DM_PELSHEIGHT)) {
      if (!text.empty()) text += " ";
      text += std::to_string(m.dmPelsWidth) + "x" + std::to_string(m.dmPelsHeight);
    }
    return text;
  }

 private:
  class Screen : public winposix::DisplayScreen {
   public:
    explicit Screen(ScriptedDisplay& d) : d_(d) {}
    ~Screen() override { ++d_.released; }
    int BitsPerPixel() override {
      if (d_.throwOnBits) throw std::runtime_error("the screen cannot be read");
      return d_.bitsPerPixel;
    }
    int Width() override { return d_.width; }
    int Height() override { return d_.height; }
    bool Offers(const DEVMODEA& m) override {
      d_.log.push_back("offers " + Describe(m));
      d_.requests.push_back(m);
      if (d_.onOffer) d_.onOffer();
      if ((m.dmFields & DM_BITSPERPEL) && !d_.depths.count(static_cast<int>(m.dmBitsPerPel))) return false;
      if ((m.dmFields & (DM_PELSWIDTH | DM_PELSHEIGHT)) &&
          !d_.sizes.count({static_cast<int>(m.dmPelsWidth), static_cast<int>(m.dmPelsHeight)}))
        return false;
      return true;
    }
    bool Apply(const DEVMODEA& m) override {
      d_.log.push_back("apply " + Describe(m));
      d_.requests.push_back(m);
      if (d_.applyFails) return false;
      if (m.dmFields & DM_BITSPERPEL) d_.bitsPerPixel = static_cast<int>(m.dmBitsPerPel);
      if (m.dmFields & DM_PELSWIDTH) d_.width = static_cast<int>(m.dmPelsWidth);
      if (m.dmFields & DM_PELSHEIGHT) d_.height = static_cast<int>(m.dmPelsHeight);
      return true;
    }

   private:
    ScriptedDisplay& d_;
  };
};

// Puts a scripted display in place for the life of the object.
class ScriptedDisplayInPlace {
 public:
  explicit ScriptedDisplayInPlace(ScriptedDisplay& display) { SetDisplayDriverForTesting(&display); }
  ~ScriptedDisplayInPlace() { SetDisplayDriverForTesting(nullptr); }
  ScriptedDisplayInPlace(const ScriptedDisplayInPlace&) = delete;
  ScriptedDisplayInPlace& operator=(const ScriptedDisplayInPlace&) = delete;
};
