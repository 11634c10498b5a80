// The well-known folders of the prefix: where they are and which registry
// values name them.
#pragma once

#include <string>
#include <vector>

namespace winposix {

struct ShellFolder {
  std::string valueName;    // the value under ...\Explorer\Shell Folders
  std::string windowsPath;  // C:\...
  std::string xdgKey;       // DESKTOP, DOCUMENTS, PICTURES: linked to the user's folder
};

// The user's folders (HKEY_CURRENT_USER) and the folders shared by all users
// (HKEY_LOCAL_MACHINE, "Common ..." values).
std::vector<ShellFolder> UserShellFolders();
std::vector<ShellFolder> CommonShellFolders();

// Further standard folders of drive C:.
std::vector<std::string> StandardFolders();

}  // namespace winposix
