#pragma once
// Replacing text inside the new names of listed entries, plainly or by a
// Perl-style substitution command. The replace dialog and the command line
// run the same code: they fill ReplaceOptions and call ReplaceInNames.
#include <string>
#include <vector>

#include "core/CsvDb.h"

namespace tonbo {

class TBRegExp;

// Which part of the new name is worked on.
enum class ReplaceScope : int {
  Name = 0,        // NewName
  NameAndExt = 1,  // NewName followed by Ext; the result is split again
  ExtOnly = 2,     // Ext (with its leading ".")
};

struct ReplaceOptions {
  ReplaceScope scope = ReplaceScope::Name;
  bool regularExpression = false;  // run command rather than search/replacement
  std::string search;              // plain: an empty search replaces the whole text
  std::string replacement;
  bool matchCase = false;
  bool firstOnly = false;
  std::string command;  // s/pattern/replacement/options, handed to the engine unchanged
};

// An extension typed without its dot ("txt" for the whole extension) gets
// one: with scope ExtOnly, an empty search and no "." anywhere in the
// replacement, a "." is put in front of it. Returns true when it changed.
bool PutExtensionDot(ReplaceOptions& options);

// The text after one replacement by the options; re is the run's adaptor.
// Throws EBRegExpError.
std::string ReplaceText(const std::string& source, const ReplaceOptions& options, TBRegExp& re);

// Replaces in every given row (table order), with one adaptor for the whole
// run, and returns the number of rows worked on (changed or not). Applies
// PutExtensionDot to its own copy of the options first. Throws EBRegExpError
// at the row being processed; the rows before it keep their new names.
int ReplaceInNames(TCsvDb& table, const std::vector<int>& rows, const ReplaceOptions& options);

}  // namespace tonbo
