#pragma once
// Perl-style match and substitution commands for the replace and select
// dialogs. A command run creates one adaptor, uses it for every entry and
// frees it at the end: the compiled record is kept while the command stays
// the same, so the expression is compiled once per run.
#include <string>

#include "common/Errors.h"
#include "text/RegexEngine.h"

namespace tonbo {

// An error reported by the regular-expression library (a malformed command,
// runaway backtracking); what() is the library's message.
class EBRegExpError : public ETonboError {
 public:
  using ETonboError::ETonboError;
};

// The library's entry points; a missing one is null.
struct TBRegExpEntries {
  BMatchProc BMatch = nullptr;
  BSubstProc BSubst = nullptr;
  BRegfreeProc BRegfree = nullptr;
};

// The entries of our own engine (RegexEngine.h).
TBRegExpEntries BuiltInRegExpEntries();

class TBRegExp {
 public:
  TBRegExp();
  explicit TBRegExp(const TBRegExpEntries& entries);
  ~TBRegExp();
  TBRegExp(const TBRegExp&) = delete;
  TBRegExp& operator=(const TBRegExp&) = delete;

  // True when the command matches the text. Throws EBRegExpError.
  bool Match(const std::string& command, const std::string& text);
  // True when at least one substitution was made; the text then holds the
  // result, else it is unchanged. An empty text is left alone without asking
  // the library. Throws EBRegExpError.
  bool Subst(const std::string& command, std::string& text);

 private:
  void KeepOrRelease(const std::string& command);
  void RequireLibrary() const;

  TBRegExpEntries entries_;
  TRegexRecord* record_ = nullptr;
};

}  // namespace tonbo
