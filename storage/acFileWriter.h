#pragma once
// Writing a stored file's content to disk safely: the walk from an extraction directory down
// to the target without following links, and the write under a temporary name beside the
// target that is renamed into place only when every byte was written.
#include <string>
#include <vector>

#include "core/Exceptions.h"

class TStoredFile;

// A stored file that could not be written; the message names the path and the reason.
class EExtractError : public Exception {
 public:
  EExtractError(const std::string& path, const std::string& reason)
      : Exception(path.empty() ? reason : path + ": " + reason), path_(path), reason_(reason) {}
  const std::string& Path() const { return path_; }
  const std::string& Reason() const { return reason_; }

 private:
  std::string path_;
  std::string reason_;
};

// The full path of the resolved name parts below directory (which ends in "\"). The
// directories between them are created when createPath is set (directory itself too); a part
// that is a link, or no directory, is refused, so nothing is ever written through a link
// below directory. Raises EExtractError.
std::string PrepareTargetBelow(const std::string& directory, const std::vector<std::string>& parts, bool createPath);

// Writes the file's content to path: block by block into a new file beside it, which then
// replaces whatever stands at path (a link there is replaced, never written through). On any
// failure the temporary file is removed and nothing changes at path. Raises EExtractError.
void WriteStoredFileTo(TStoredFile& file, const std::string& path);

// True when the path names a link (a reparse point) rather than a file or directory.
bool IsLink(const std::string& path);
