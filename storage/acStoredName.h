#pragma once
// The one rule for the names under which stored files are written below an extraction
// directory, shared by the storage's automatic extraction and the command-line tool.
#include <string>
#include <vector>

// Resolves a stored name (Windows-1252, "\" or "/" separating its parts; "." parts dropped and
// ".." parts taken back) into the parts of a path below the extraction directory. Returns ""
// and fills parts when the name stays inside; otherwise returns why it is refused ("is an
// absolute path", ...) and leaves parts empty. Refused: an empty name, a NUL or other control
// character, a ':' (drive letter or stream), a character Windows does not allow in names
// (< > " | ? *), an absolute path, an empty part, a ".." that leads out, and a name that
// resolves to the directory itself.
std::string StoredNameProblem(const std::string& storedName, std::vector<std::string>& parts);

// The resolved parts as one key that is equal for two names exactly when Windows takes them
// for the same file: parts joined by "\\", case folded across the whole code page.
std::string StoredNameKey(const std::vector<std::string>& parts);
