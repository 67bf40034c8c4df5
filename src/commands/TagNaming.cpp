#include "commands/TagNaming.h"

#include "commands/NameCounts.h"
#include "commands/RowPrefetch.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

// Files are read a few at a time ahead of the loop, which reports each row
// in order; the table is not touched off this thread (paths are made first).
template <typename T>
std::optional<std::vector<T>> ReadForRows(const TCsvDb& table, const std::vector<int>& rows,
                                          const std::function<T(const std::string&)>& read,
                                          ProgressSink* progress) {
  const int count = static_cast<int>(rows.size());
  std::vector<std::string> paths;
  paths.reserve(rows.size());
  for (int row : rows) paths.push_back(enc::SjisToDisk(table.GetCell(colPath, row)));
  std::vector<T> out(rows.size());
  bool stopped = false;
  {
    const int threads = RowPrefetch::ThreadsFor(count);
    RowPrefetch prefetch(count, threads, 4, 8 * threads + 8, [&](int i, int, bool) {
      out[static_cast<size_t>(i)] = read(paths[static_cast<size_t>(i)]);
    });
    for (int i = 0; i < count && !stopped; ++i) {
      const int row = rows[static_cast<size_t>(i)];
      stopped = progress &&
                !progress->Step(
                    i, count,
                    std::string(table.GetCell(colNewName, row)).append(table.GetCell(colExt, row)));
      if (!stopped) prefetch.Await(i);
    }
  }
  if (progress) progress->Finish();
  if (stopped) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::vector<tags::MediaTags>> ReadRowTags(const TCsvDb& table,
                                                        const std::vector<int>& rows,
                                                        const TagSource& source,
                                                        ProgressSink* progress) {
  return ReadForRows(table, rows, source.mediaTags, progress);
}

std::optional<TakenTimes> ReadRowTakenTimes(const TCsvDb& table, const std::vector<int>& rows,
                                            const TagSource& source, ProgressSink* progress) {
  return ReadForRows(table, rows, source.takenTime, progress);
}

int NameFromTags(TCsvDb& table, const std::vector<int>& rows, const TagPattern& pattern,
                 const std::vector<tags::MediaTags>& tags, std::string_view sjisMissing) {
  static const tags::MediaTags kNone;
  UniqueNames unique(table);
  int named = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = rows[i];
    const std::string old(table.GetCell(colNewName, row));
    LocalDateTime modified;
    const bool hasDate = ParseDateText(table.GetCell(colModified, row), modified);
    const std::string name = pattern.Name(
        {i < tags.size() ? tags[i] : kNone, hasDate ? &modified : nullptr, old}, sjisMissing);
    if (name.empty()) continue;
    unique.Release(old);
    table.SetCell(colNewName, row, unique.Take(name));
    ++named;
  }
  return named;
}

std::string TagNamedText(int named) {
  return std::to_string(named) + "個のファイルにタグから名前を付けました。";
}

}  // namespace tonbo
