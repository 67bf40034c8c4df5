#include "text/BRegExp.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "common/Sjis.h"

namespace tonbo {
namespace {

// The library's message, if it left one.
void RaiseOnMessage(const char (&error)[kBRegErrorSize]) {
  const std::string_view message(error, strnlen(error, kBRegErrorSize));
  if (!message.empty()) throw EBRegExpError(enc::FromSjis(message).toStdString());
}

}  // namespace

TBRegExpEntries BuiltInRegExpEntries() {
  return {&tonbo::BMatch, &tonbo::BSubst, &tonbo::BRegfree};
}

TBRegExp::TBRegExp() : TBRegExp(BuiltInRegExpEntries()) {}

TBRegExp::TBRegExp(const TBRegExpEntries& entries) : entries_(entries) {}

TBRegExp::~TBRegExp() {
  if (record_ && entries_.BRegfree) entries_.BRegfree(record_);
}

bool TBRegExp::Match(const std::string& command, const std::string& text) {
  RequireLibrary();
  KeepOrRelease(command);
  char error[kBRegErrorSize] = {};
  // An empty text goes to the library as one zero byte.
  static const char kZero[2] = {};
  const char* start = text.empty() ? kZero : text.data();
  const char* end = text.empty() ? kZero + 1 : text.data() + text.size();
  const int matched = entries_.BMatch(command.c_str(), start, end, &record_, error);
  RaiseOnMessage(error);
  return matched != 0;
}

bool TBRegExp::Subst(const std::string& command, std::string& text) {
  KeepOrRelease(command);
  if (text.empty()) return false;
  RequireLibrary();
  char error[kBRegErrorSize] = {};
  const int made =
      entries_.BSubst(command.c_str(), text.data(), text.data() + text.size(), &record_, error);
  RaiseOnMessage(error);
  if (made == 0 || !record_ || !record_->resultStart) return false;
  text = record_->resultStart;
  return true;
}

// A record compiled from another command is released, so that the library
// compiles the new one; the same command keeps it.
void TBRegExp::KeepOrRelease(const std::string& command) {
  if (!record_) return;
  if (record_->commandCopy && std::strcmp(record_->commandCopy, command.c_str()) == 0) return;
  entries_.BRegfree(std::exchange(record_, nullptr));
}

void TBRegExp::RequireLibrary() const {
  if (!entries_.BMatch || !entries_.BSubst || !entries_.BRegfree)
    throw EBRegExpError("正規表現ライブラリが使えないため、この処理は実行できません。");
}

}  // namespace tonbo
