#include "WebBrowser.h"

#include <algorithm>

#include "Backend.h"
#include "charset/Cp1252.h"
#include "core/Exceptions.h"
#include "core/Filer.h"
#include "Forms.h"
#include "GuiApplication.h"
#include "core/MemoryStream.h"
#include "core/PropertyRegistry.h"
#include "core/Stream.h"
#include "Trace.h"
#include "platform/hostpath.h"

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
      "ControlData",
      [this](TStream& s) {
        controlData_.assign(static_cast<size_t>(s.Remaining()), '\0');
        s.ReadBuffer(controlData_.data(), static_cast<int64_t>(controlData_.size()));
      },
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

void TWebBrowser::DoOpenLink(const std::string& uri) {
  GuiGuarded([&] { OnOpenLink(this, Utf8ToUtf16(uri)); });
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
        if (path.compare(0, 2, "//") == 0)
          return "file:" + PercentEncodePath(Cp1252ToUtf8(path));  // file://server/share
        return "file:///" + path.substr(0, 2) + PercentEncodePath(Cp1252ToUtf8(path.substr(2)));
      }
    } catch (const std::exception& e) {
      throw Exception(std::string("Cannot open ") + Cp1252ToUtf8(narrow) + ": " + e.what());
    }
    return "file://" + PercentEncodePath(unixPath);
  }
  return Utf16ToUtf8(address);
}
