#include "WebBrowser.h"

#include <algorithm>

#include "Backend.h"
#include "Cp1252.h"
#include "Exceptions.h"
#include "Filer.h"
#include "Forms.h"
#include "GuiApplication.h"
#include "MemoryStream.h"
#include "PropertyRegistry.h"
#include "Stream.h"
#include "Trace.h"
#include "hostpath.h"

const TClassInfo& TWebBrowser::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TWebBrowser>("TWebBrowser")
                                     .Integer("TabOrder", &TWebBrowser::TabOrder, &TWebBrowser::SetTabOrder)
                                     .Default(-1)
                                     .Event("OnDocumentComplete", &TWebBrowser::OnDocumentComplete)
                                     .Build();
  return info;
}

void TWebBrowser::DefineProperties(TFiler& filer) {
  TControl::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "ControlData", [this](TStream& s) { controlData_ = static_cast<TMemoryStream&>(s).Bytes(); },
      [this](TStream& s) { s.WriteString(controlData_); }, !controlData_.empty());
}

void TWebBrowser::Navigate(const std::u16string& url) {
  const std::string uri = BrowserAddressToUri(url);
  location_ = url;
  GuiTrace("navigate " + uri);
  GuiBackend().Navigate(*this, uri);
}

void TWebBrowser::DoDocumentComplete(const std::string& uri) {
  GuiGuarded([&] {
    GuiTrace("document-complete " + uri);
    OnDocumentComplete(this, this, Utf8ToUtf16(uri));
  });
}

namespace {

bool IsWindowsPath(const std::string& s) {
  const bool drive = s.size() >= 2 && ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z')) && s[1] == ':';
  return drive || (s.size() >= 2 && s[0] == '\\' && s[1] == '\\');
}

std::string PercentEncodePath(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
                       c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

}  // namespace

std::string BrowserAddressToUri(const std::u16string& address) {
  const std::string narrow = Utf16ToCp1252(address);
  if (IsWindowsPath(narrow)) {
    const auto marks = [](const auto& text) { return std::count(text.begin(), text.end(), '?'); };
    if (marks(narrow) != marks(address))
      throw Exception("The address " + Utf16ToUtf8(address) + " has characters outside the code page");
    std::string unixPath;
    try {
      unixPath = WindowsPathToUnix(narrow);
      if (unixPath == narrow) {
        // A Windows host: the path itself, as a file: URI with forward slashes.
        std::string path = narrow;
        std::replace(path.begin(), path.end(), '\\', '/');
        if (path.compare(0, 2, "//") == 0) return "file:" + PercentEncodePath(Cp1252ToUtf8(path));  // file://server/share
        return "file:///" + path.substr(0, 2) + PercentEncodePath(Cp1252ToUtf8(path.substr(2)));
      }
    } catch (const std::exception& e) {
      throw Exception(std::string("Cannot open ") + Cp1252ToUtf8(narrow) + ": " + e.what());
    }
    return "file://" + PercentEncodePath(unixPath);
  }
  return Utf16ToUtf8(address);
}

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    uint32_t cp = 0xFFFD;
    size_t len = 1;
    if (c < 0x80) {
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      len = 2;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
    }
    if (len > 1) {
      bool ok = i + len <= text.size();
      uint32_t v = c & (0xFF >> (len + 1));
      for (size_t k = 1; ok && k < len; ++k) {
        const unsigned char cc = static_cast<unsigned char>(text[i + k]);
        if ((cc & 0xC0) != 0x80) ok = false;
        v = (v << 6) | (cc & 0x3F);
      }
      static const uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
      if (ok && v >= minimum[len] && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) {
        cp = v;
      } else {
        len = 1;
      }
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}
