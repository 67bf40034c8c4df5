#pragma once
#include <stdexcept>
#include <string>

namespace tonbo {

// Base of every error that ends a command and reaches the standard error box.
// what() is UTF-8 text for the user.
class ETonboError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file could not be read or written (the platform's file error).
class EInOutError : public ETonboError {
 public:
  EInOutError(const std::string& message, int errorCode = 0)
      : ETonboError(message), code_(errorCode) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// Why a call of the system failed, for people: a short Japanese sentence
// without brackets ("ファイルが見つかりません"), never the system's English
// text. UTF-8. Every message that names a system error goes through it.
std::string ErrnoReason(int err);

}  // namespace tonbo
