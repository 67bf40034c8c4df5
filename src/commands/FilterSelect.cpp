#include "commands/FilterSelect.h"

#include <sys/stat.h>

#include <optional>

#include "commands/ContentText.h"
#include "commands/RowPrefetch.h"
#include "common/Sjis.h"
#include "text/BRegExp.h"
#include "text/StrUnit.h"
#include "text/Wildcard.h"

namespace tonbo {
namespace {

std::string KeyOf(const FilterOptions& o) {
  std::string key = o.useCase ? o.key : LowerStr(o.key);
  if (o.method == FilterMethod::RegExp && (key.empty() || key[0] != 'm')) key = "m/" + key + "/";
  return key;
}

// A mask or a regular expression with its key, compiled at the first test
// and kept for every row after it.
class Pattern {
 public:
  Pattern(FilterMethod method, std::string key) : method_(method), key_(std::move(key)) {}

  bool Test(const std::string& text) {
    switch (method_) {
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

 private:
  const FilterMethod method_;
  const std::string key_;
  std::optional<TMask> mask_;
  TBRegExp regex_;
};

// One run's test of the texts held in the table.
class ConditionTest {
 public:
  explicit ConditionTest(const FilterOptions& options)
      : o_(options), pattern_(options.method, KeyOf(options)) {}

  bool Row(const TCsvDb& table, int row) {
    const std::string& text = TextOf(table, row);
    if (o_.useCase) return pattern_.Test(text) != o_.exclude;
    lowered_ = LowerStr(text);
    return pattern_.Test(lowered_) != o_.exclude;
  }

 private:
  const std::string& TextOf(const TCsvDb& table, int row) {
    switch (o_.scope) {
      case FilterScope::Name:
        return text_.assign(table.GetCell(colNewName, row));
      case FilterScope::Ext:
        return text_.assign(table.GetCell(colExt, row));
      case FilterScope::NameExt:
        return text_.assign(table.GetCell(colNewName, row)).append(table.GetCell(colExt, row));
      case FilterScope::Path:
        return text_.assign(table.GetCell(colPath, row));
      case FilterScope::Date:
        return text_.assign(table.GetCell(colModified, row));
      case FilterScope::None:
      case FilterScope::Contents:
        break;
    }
    static const std::string kNothing;
    return kNothing;
  }

  const FilterOptions& o_;
  Pattern pattern_;
  std::string text_;     // the tested text, copied out of the table
  std::string lowered_;  // the lower-cased text
};

// The contents scope. Files are read by a few threads ahead of the test,
// which takes the rows in table order; the table is not touched off this
// thread (the paths are converted first).
class ContentsRun {
 public:
  ContentsRun(const TCsvDb& table, const FilterOptions& options,
              const std::function<void()>& beforeEachFileRead)
      : o_(options),
        beforeRead_(beforeEachFileRead),
        threads_(RowPrefetch::ThreadsFor(table.RowCount())) {
    paths_.reserve(static_cast<size_t>(table.RowCount()));
    for (int row = 0; row < table.RowCount(); ++row)
      paths_.push_back(enc::SjisToDisk(table.GetCell(colPath, row)));
    readers_.assign(static_cast<size_t>(threads_) + 1,
                    TContentReader(TContentReader::kChunkSize, threads_ > 0 ? &gate_ : nullptr));
  }

  int Run(std::vector<bool>& selected) {
    return o_.method == FilterMethod::Plain ? RunPlain(selected) : RunWhole(selected);
  }

 private:
  // Texts of files larger than this are read only when their row is
  // reached, so that the texts read ahead stay small.
  static constexpr int64_t kReadAheadLimit = int64_t{4} << 20;
  static constexpr int kPlainBatch = 16;
  static constexpr int kPlainAhead = 4096;

  int Rows() const { return static_cast<int>(paths_.size()); }

  template <typename Decide>
  int Loop(RowPrefetch& prefetch, std::vector<bool>& selected, Decide decide) {
    int count = 0;
    for (int row = 0; row < Rows(); ++row) {
      if (beforeRead_) beforeRead_();
      prefetch.Await(row);
      const bool on = decide(row) != o_.exclude;
      selected.push_back(on);
      count += on;
    }
    return count;
  }

  int RunPlain(std::vector<bool>& selected) {
    const TContentKey key(KeyOf(o_), !o_.useCase);
    std::vector<char> found(paths_.size());
    RowPrefetch prefetch(Rows(), threads_, kPlainBatch, kPlainAhead,
                         [&](int row, int worker, bool) {
                           found[static_cast<size_t>(row)] =
                               static_cast<char>(readers_[static_cast<size_t>(worker)].Contains(
                                   paths_[static_cast<size_t>(row)], key));
                         });
    return Loop(prefetch, selected, [&](int row) { return found[static_cast<size_t>(row)] != 0; });
  }

  struct Text {
    std::string text;
    bool utf8 = false;
    bool later = false;  // too large to read ahead
  };

  int RunWhole(std::vector<bool>& selected) {
    // Characters outside the code page take the same computed codes in the
    // key and in every UTF-8 file.
    enc::SjisCodec& codec = enc::Codec();
    const std::string key = KeyOf(o_);
    std::string key932;
    codec.FromDisk(enc::SjisToDisk(key), key932);
    Pattern bytes(o_.method, key), utf8(o_.method, key932);
    std::vector<Text> texts(paths_.size());
    const auto read = [&](int row, int worker, bool ahead) {
      Text& t = texts[static_cast<size_t>(row)];
      const std::string& path = paths_[static_cast<size_t>(row)];
      struct stat st {};
      if (ahead && stat(path.c_str(), &st) == 0 && st.st_size > kReadAheadLimit) {
        t.later = true;
        return;
      }
      TContentReader& reader = readers_[static_cast<size_t>(worker)];
      t.text = reader.ReadWhole(path, !o_.useCase, TContentReader::kWholeLimit, &codec);
      t.utf8 = reader.WasUtf8();
    };
    RowPrefetch prefetch(Rows(), threads_, 1, 2 * threads_ + 2, read);
    return Loop(prefetch, selected, [&](int row) {
      Text& t = texts[static_cast<size_t>(row)];
      if (t.later) read(row, threads_, false);
      const bool found = t.utf8 ? utf8.Test(t.text) : bytes.Test(t.text);
      std::string().swap(t.text);
      return found;
    });
  }

  const FilterOptions& o_;
  const std::function<void()>& beforeRead_;
  const int threads_;
  std::vector<std::string> paths_;
  DiskGate gate_;
  std::vector<TContentReader> readers_;
};

}  // namespace

int SelectByCondition(const TCsvDb& table, const FilterOptions& options,
                      std::vector<bool>& selected,
                      const std::function<void()>& beforeEachFileRead) {
  selected.clear();
  selected.reserve(static_cast<size_t>(table.RowCount()));
  if (options.scope == FilterScope::Contents)
    return ContentsRun(table, options, beforeEachFileRead).Run(selected);
  ConditionTest test(options);
  int count = 0;
  for (int row = 0; row < table.RowCount(); ++row) {
    const bool on = test.Row(table, row);
    selected.push_back(on);
    count += on;
  }
  return count;
}

}  // namespace tonbo
