#include "commands/ReplaceNames.h"

#include "common/Paths.h"
#include "text/BRegExp.h"
#include "text/StrUnit.h"

namespace tonbo {
namespace {

std::string SourceText(const TCsvDb& table, int row, ReplaceScope scope) {
  switch (scope) {
    case ReplaceScope::Name:
      return std::string(table.GetCell(colNewName, row));
    case ReplaceScope::NameAndExt:
      return std::string(table.GetCell(colNewName, row)).append(table.GetCell(colExt, row));
    case ReplaceScope::ExtOnly:
      break;
  }
  return std::string(table.GetCell(colExt, row));
}

void WriteBack(TCsvDb& table, int row, ReplaceScope scope, const std::string& result) {
  switch (scope) {
    case ReplaceScope::Name:
      table.SetCell(colNewName, row, result);
      return;
    case ReplaceScope::NameAndExt: {
      // A "." that the replacement removed no longer starts an extension.
      const std::string ext = ExtractFileExt(result);
      table.SetCell(colExt, row, ext);
      table.SetCell(colNewName, row,
                    std::string_view(result).substr(0, result.size() - ext.size()));
      return;
    }
    case ReplaceScope::ExtOnly:
      table.SetCell(colExt, row, result);
      return;
  }
}

}  // namespace

bool PutExtensionDot(ReplaceOptions& options) {
  if (options.scope != ReplaceScope::ExtOnly || !options.search.empty()) return false;
  if (options.replacement.find('.') != std::string::npos) return false;
  options.replacement.insert(0, ".");
  return true;
}

std::string ReplaceText(const std::string& source, const ReplaceOptions& options, TBRegExp& re) {
  if (options.regularExpression) {
    std::string text = source;
    re.Subst(options.command, text);
    return text;
  }
  if (options.search.empty()) return options.replacement;
  const bool all = !options.firstOnly;
  return options.matchCase ? ReplaceStr(source, options.search, options.replacement, all)
                           : ReplaceStrI(source, options.search, options.replacement, all);
}

int ReplaceInNames(TCsvDb& table, const std::vector<int>& rows, const ReplaceOptions& options) {
  ReplaceOptions run = options;
  PutExtensionDot(run);
  TBRegExp re;
  int count = 0;
  for (int row : rows) {
    WriteBack(table, row, run.scope, ReplaceText(SourceText(table, row, run.scope), run, re));
    ++count;
  }
  return count;
}

}  // namespace tonbo
