#pragma once
// Naming from what the files say about themselves: reading each row's tags
// once (a few files at a time, with progress and a stop), the date naming's
// "taken" date source, and "タグから名前を付ける…".
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/NamingCommands.h"
#include "commands/TagPattern.h"
#include "core/CsvDb.h"
#include "core/Progress.h"
#include "tags/MediaTags.h"

namespace tonbo {

// How the naming reads a file (disk path); both never throw. The window and
// tonbo-cli use FileTagSource(); tests hand in values.
struct TagSource {
  std::function<tags::MediaTags(const std::string& diskPath)> mediaTags;
  std::function<std::optional<tags::TakenTime>(const std::string& diskPath)> takenTime;
};

// The program's reader of pictures, songs and videos.
TagSource FileTagSource();

// Each row's tags (or date taken), in the rows' order, read by a few threads
// ahead; progress hears of every row. Nullopt when progress stopped it.
std::optional<std::vector<tags::MediaTags>> ReadRowTags(const TCsvDb& table,
                                                        const std::vector<int>& rows,
                                                        const TagSource& source,
                                                        ProgressSink* progress = nullptr);
std::optional<TakenTimes> ReadRowTakenTimes(const TCsvDb& table, const std::vector<int>& rows,
                                            const TagSource& source,
                                            ProgressSink* progress = nullptr);

// Names rows[i] from tags[i] (tags may be empty when the pattern reads no
// file); the extension stays. A name another row holds gets "_1", "_2", ...;
// a pattern that comes out empty leaves the row's name as it was. Returns
// the count named.
int NameFromTags(TCsvDb& table, const std::vector<int>& rows, const TagPattern& pattern,
                 const std::vector<tags::MediaTags>& tags, std::string_view sjisMissing);

// "N個のファイルにタグから名前を付けました。" (UTF-8).
std::string TagNamedText(int named);

}  // namespace tonbo
