#include "shellfolders.h"

#include "prefix.h"

namespace winposix {

std::vector<ShellFolder> UserShellFolders() {
  const std::string home = ProfileDirWin();
  const std::string roaming = home + "\\AppData\\Roaming";
  const std::string local = home + "\\AppData\\Local";
  const std::string win = roaming + "\\Microsoft\\Windows";
  return {
      {"AppData", roaming, ""},
      {"Cache", local + "\\Microsoft\\Windows\\INetCache", ""},
      {"Cookies", win + "\\Cookies", ""},
      {"Desktop", home + "\\Desktop", "DESKTOP"},
      {"Favorites", home + "\\Favorites", ""},
      {"Fonts", "C:\\windows\\Fonts", ""},
      {"History", local + "\\Microsoft\\Windows\\History", ""},
      {"Local AppData", local, ""},
      {"My Pictures", home + "\\Pictures", "PICTURES"},
      {"NetHood", win + "\\Network Shortcuts", ""},
      {"Personal", home + "\\Documents", "DOCUMENTS"},
      {"PrintHood", win + "\\Printer Shortcuts", ""},
      {"Programs", win + "\\Start Menu\\Programs", ""},
      {"Recent", win + "\\Recent", ""},
      {"SendTo", win + "\\SendTo", ""},
      {"Start Menu", win + "\\Start Menu", ""},
      {"Startup", win + "\\Start Menu\\Programs\\StartUp", ""},
      {"Templates", win + "\\Templates", ""},
  };
}

std::vector<ShellFolder> CommonShellFolders() {
  const std::string data = "C:\\ProgramData";
  const std::string win = data + "\\Microsoft\\Windows";
  return {
      {"Common AppData", data, ""},
      {"Common Desktop", "C:\\users\\Public\\Desktop", ""},
      {"Common Documents", "C:\\users\\Public\\Documents", ""},
      {"Common Favorites", "C:\\users\\Public\\Favorites", ""},
      {"Common Programs", win + "\\Start Menu\\Programs", ""},
      {"Common Start Menu", win + "\\Start Menu", ""},
      {"Common Startup", win + "\\Start Menu\\Programs\\StartUp", ""},
      {"Common Templates", win + "\\Templates", ""},
  };
}

std::vector<std::string> StandardFolders() {
  return {
      "C:\\windows",        "C:\\windows\\system32", "C:\\windows\\temp", "C:\\windows\\Fonts",
      "C:\\windows\\Media", "C:\\windows\\Help",     "C:\\Program Files", "C:\\Program Files\\Common Files",
  };
}

}  // namespace winposix
