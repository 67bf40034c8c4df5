#pragma once
// Names from what files say about themselves: a pattern of fixed text and
// fields in square brackets, "[撮影日時:yyyymmdd_hhnnss]_[機種]" or
// "[アーティスト] - [曲番号:2] [タイトル]". "[[" and "]]" stand for the
// brackets themselves. The pattern and the names are code page 932; the
// tags' texts are UTF-8 and are converted here.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/Errors.h"
#include "tags/MediaTags.h"
#include "text/RenameRules.h"

namespace tonbo {

// A pattern that cannot be read: what() names the field at fault (UTF-8).
class ETagPatternError : public ETonboError {
 public:
  using ETonboError::ETonboError;
};

enum class TagField {
  Taken,
  Modified,
  Make,
  Model,
  Lens,
  Width,
  Height,
  Title,
  Artist,
  Album,
  AlbumArtist,
  Track,
  Disc,
  Year,
  Genre,
  Length,
  OldName
};

// The fields with their names as a pattern writes them (UTF-8, without the
// brackets), in the order the dialog lists them.
struct TagFieldName {
  TagField field;
  const char* utf8Name;
};
std::span<const TagFieldName> TagFieldNames();

// The date and time a file states it was taken, as the naming uses it.
LocalDateTime TakenDate(const tags::TakenTime& taken);

// What one row gives the fields besides its tags.
struct TagNameRow {
  const tags::MediaTags& tags;
  const LocalDateTime* modified;  // null when the row's date cannot be read
  std::string_view sjisOldName;   // `NewName` before the command
};

class TagPattern {
 public:
  // Throws ETagPatternError for an unknown field, an unclosed bracket, a
  // lone "]" and a width that is not 1 to 30.
  explicit TagPattern(std::string_view sjisPattern);

  // The name for one row; a field the row lacks becomes sjisMissing. A
  // character no name can hold ("/", NUL, other controls) becomes "_".
  std::string Name(const TagNameRow& row, std::string_view sjisMissing) const;
  // False when the fields need nothing but the table (the modification
  // date and the old name): then no file is read.
  bool ReadsFiles() const;

 private:
  struct Piece {
    std::string text;  // fixed text; for a date field its format
    bool isField = false;
    TagField field = TagField::OldName;
    int width = 0;  // numbers: zero-padded to this many digits
  };
  void AddField(std::string_view sjisInside);
  std::string FieldText(const Piece& piece, const TagNameRow& row) const;

  std::vector<Piece> pieces_;
};

}  // namespace tonbo
