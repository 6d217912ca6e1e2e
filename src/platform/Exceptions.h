#pragma once
// The toolkit's exception hierarchy. Every error shown to a user carries the system's own message text;
// EAbort is the silent abort: dispatchers of user input swallow it without a message.

#include <exception>
#include <string>

namespace jxc {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

 private:
  std::string message_;
};

// Silent abort of the current user action ("Operation aborted"); never shown.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
  explicit EAbort(std::string message) : Exception(std::move(message)) {}
};

// A value that cannot be converted to the requested type ("'abc' is not a valid integer value").
class EConvertError : public Exception { using Exception::Exception; };
// Arithmetic out of range (currency overflow, integer overflow on conversion).
class EOverflow : public Exception { using Exception::Exception; };
// Dataset and database failures: a missing field, a wrong state, an error reported by the database.
class EDatabaseError : public Exception { using Exception::Exception; };
// A virtual operation that a class does not implement was called ("Abstract Error").
class EAbstractError : public Exception {
 public:
  EAbstractError() : Exception("Abstract Error") {}
  explicit EAbstractError(std::string message) : Exception(std::move(message)) {}
};
// A class name that the class registry does not know ("Class X not found").
class EClassNotFound : public Exception { using Exception::Exception; };
// An operation that is not valid in the object's current state.
class EInvalidOperation : public Exception { using Exception::Exception; };
// An argument outside what an operation accepts (an index out of range, malformed text).
class EArgumentError : public Exception { using Exception::Exception; };

// Raises EAbort.
[[noreturn]] void Abort();

}  // namespace jxc
