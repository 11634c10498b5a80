#pragma once
// Exception hierarchy of the component model. Every error the core raises derives from
// Exception, itself a std::runtime_error, so callers can catch one type or a specific one.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// Assignment between incompatible persistent objects ("Cannot assign a TX to a TY.").
class EConvertError : public Exception {
  using Exception::Exception;
};
// Pointer and string list errors (index out of bounds and the like).
class EListError : public Exception {
  using Exception::Exception;
};
// Stream errors: the base and its reading / writing flavours.
class EStreamError : public Exception {
  using Exception::Exception;
};
class EFilerError : public EStreamError {
  using EStreamError::EStreamError;
};
class EReadError : public EFilerError {
  using EFilerError::EFilerError;
};
class EWriteError : public EFilerError {
  using EFilerError::EFilerError;
};
class EFOpenError : public EStreamError {
  using EStreamError::EStreamError;
};
// A class name that is not in the class registry.
class EClassNotFound : public EFilerError {
  using EFilerError::EFilerError;
};
// Errors in the text form of a form (reported with line and column).
class EParserError : public Exception {
  using Exception::Exception;
};
// Component errors: invalid or duplicate names, wrong field types.
class EComponentError : public Exception {
  using Exception::Exception;
};
