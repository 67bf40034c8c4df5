#pragma once
// The regular-expression library behind the replace and select dialogs:
// Perl-style commands (RegexCommand.h) run by Oniguruma on code page 932
// bytes, so a match never begins on the trail byte of a double-byte
// character. /i folds the letters the plain search folds (ASCII, full-width
// Latin, Greek, Cyrillic); \w takes double-byte characters, \d only ASCII
// digits.
//
// Runaway backtracking, as in (a+)+b against a long name, ends with an error
// instead of hanging the window: each search stops after a fixed number of
// backtracking steps, and a global substitution after about a second.
#include <cstddef>

namespace tonbo {

// Size of the error buffer passed to every call; longer messages are cut to
// fit on a character boundary.
constexpr size_t kBRegErrorSize = 80;

// The compiled record. Callers read the two members below; the engine keeps
// its own data behind them. Released only through BRegfree.
struct TRegexRecord {
  const char* resultStart = nullptr;  // zero-terminated result of the last substitution
  const char* commandCopy = nullptr;  // zero-terminated command the record was compiled from

 protected:
  TRegexRecord() = default;
  ~TRegexRecord() = default;
};

// Both calls work on the text [textStart, textEnd); the byte at textEnd must
// be readable (a std::string's terminating zero will do), as the engine may
// look one byte past a lead byte that ends the text. When *record is empty
// the command is compiled into a new record stored there; otherwise the
// record there is used as it is, whatever the command. On error they write a
// zero-terminated message (code page 932) into error and return 0; on
// success error holds "".

// Non-zero when the command's pattern matches the text.
int BMatch(const char* command, const char* textStart, const char* textEnd, TRegexRecord** record,
           char* error);
// The number of substitutions made by an s/// command; when non-zero the
// record's resultStart holds the new text until the next call with it.
int BSubst(const char* command, const char* textStart, const char* textEnd, TRegexRecord** record,
           char* error);
void BRegfree(TRegexRecord* record);

using BMatchProc = int (*)(const char*, const char*, const char*, TRegexRecord**, char*);
using BSubstProc = int (*)(const char*, const char*, const char*, TRegexRecord**, char*);
using BRegfreeProc = void (*)(TRegexRecord*);

}  // namespace tonbo
