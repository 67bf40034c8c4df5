#include "pattern/commands/FilterSelect.h"

#include <optional>

#include "common/Sjis.h"
#include "naming/StrUnit.h"
#include "pattern/BRegExp.h"
#include "pattern/Wildcard.h"
#include "pattern/commands/ContentText.h"

namespace tonbo {
namespace {

std::string KeyOf(const FilterOptions& o) {
  std::string key = o.useCase ? o.key : LowerStr(o.key);
  if (o.method == FilterMethod::RegExp && (key.empty() || key[0] != 'm')) key = "m/" + key + "/";
  return key;
}

// One run's test: the mask and the regular expression are compiled once, at
// the first row, and serve every row after it.
class ConditionTest {
 public:
  ConditionTest(const FilterOptions& options, const std::function<void()>& beforeEachFileRead)
      : o_(options), key_(KeyOf(options)), beforeRead_(beforeEachFileRead) {}

  bool Row(const TCsvDb& table, int row) {
    const bool found = o_.scope == FilterScope::Contents ? Contents(table.GetCell(colPath, row))
                                                         : Text(TextOf(table, row));
    return found != o_.exclude;
  }

 private:
  const std::string& TextOf(const TCsvDb& table, int row) {
    switch (o_.scope) {
      case FilterScope::Name:
        return table.GetCell(colNewName, row);
      case FilterScope::Ext:
        return table.GetCell(colExt, row);
      case FilterScope::NameExt:
        return text_.assign(table.GetCell(colNewName, row)).append(table.GetCell(colExt, row));
      case FilterScope::Path:
        return table.GetCell(colPath, row);
      case FilterScope::Date:
        return table.GetCell(colModified, row);
      case FilterScope::None:
      case FilterScope::Contents:
        break;
    }
    static const std::string kNothing;
    return kNothing;
  }

  bool Contents(const std::string& path) {
    if (beforeRead_) beforeRead_();
    const std::string disk = enc::SjisToDisk(path);
    // Plain keys are searched a chunk at a time, so a big file is searched
    // to its end; masks and expressions need the whole text.
    if (o_.method == FilterMethod::Plain) return reader_.Contains(disk, key_, !o_.useCase);
    return Test(reader_.ReadWhole(disk, !o_.useCase));
  }

  bool Text(const std::string& text) {
    if (o_.useCase) return Test(text);
    lowered_ = LowerStr(text);
    return Test(lowered_);
  }

  bool Test(const std::string& text) {
    switch (o_.method) {
      case FilterMethod::Wildcard:
        if (!mask_) mask_.emplace(key_);
        return mask_->Matches(text);
      case FilterMethod::RegExp:
        return regex_.Match(key_, text);
      case FilterMethod::Plain:
        break;
    }
    return PosFrom(key_, text, 1) != 0;
  }

  const FilterOptions& o_;
  const std::string key_;
  const std::function<void()>& beforeRead_;
  std::optional<TMask> mask_;
  TBRegExp regex_;
  TContentReader reader_;
  std::string text_;     // the name followed by the extension
  std::string lowered_;  // the lower-cased text
};

}  // namespace

int SelectByCondition(const TCsvDb& table, const FilterOptions& options,
                      std::vector<bool>& selected,
                      const std::function<void()>& beforeEachFileRead) {
  selected.clear();
  selected.reserve(static_cast<size_t>(table.RowCount()));
  ConditionTest test(options, beforeEachFileRead);
  int count = 0;
  for (int row = 0; row < table.RowCount(); ++row) {
    const bool on = test.Row(table, row);
    selected.push_back(on);
    count += on;
  }
  return count;
}

}  // namespace tonbo
