#include "commands/TagPattern.h"

#include <array>
#include <optional>

#include "common/Sjis.h"

namespace tonbo {
namespace {

constexpr TagFieldName kFields[] = {
    {TagField::Taken, "撮影日時"},
    {TagField::Modified, "更新日時"},
    {TagField::Make, "メーカー"},
    {TagField::Model, "機種"},
    {TagField::Lens, "レンズ"},
    {TagField::Width, "幅"},
    {TagField::Height, "高さ"},
    {TagField::Title, "タイトル"},
    {TagField::Artist, "アーティスト"},
    {TagField::Album, "アルバム"},
    {TagField::AlbumArtist, "アルバムアーティスト"},
    {TagField::Track, "曲番号"},
    {TagField::Disc, "ディスク番号"},
    {TagField::Year, "年"},
    {TagField::Genre, "ジャンル"},
    {TagField::Length, "長さ"},
    {TagField::OldName, "元の名前"},
};

constexpr int kMaxWidth = 30;
constexpr const char* kDefaultDateFormat = "yyyymmdd";

bool IsDate(TagField f) { return f == TagField::Taken || f == TagField::Modified; }
bool IsNumber(TagField f) {
  return f == TagField::Width || f == TagField::Height || f == TagField::Track ||
         f == TagField::Disc || f == TagField::Year;
}

// The field names in code page 932, made once.
const std::array<std::string, std::size(kFields)>& SjisNames() {
  static const auto names = [] {
    std::array<std::string, std::size(kFields)> out;
    for (size_t i = 0; i < out.size(); ++i) out[i] = enc::Lit(kFields[i].utf8Name);
    return out;
  }();
  return names;
}

std::string Shown(std::string_view sjisField) { return "「[" + enc::SjisToDisk(sjisField) + "]」"; }

// A tag's text in code page 932; C1 controls (which the code page cannot
// show) are made "_" here, the rest with the whole name.
std::string TagText(const std::string& utf8) {
  std::string clean = utf8;
  for (size_t i = 0; i + 1 < clean.size(); ++i)
    if (static_cast<unsigned char>(clean[i]) == 0xC2 &&
        static_cast<unsigned char>(clean[i + 1]) >= 0x80 &&
        static_cast<unsigned char>(clean[i + 1]) <= 0x9F)
      clean.replace(i, 2, "_");
  std::string sjis;
  enc::Codec().FromDisk(clean, sjis);
  return sjis;
}

// "/", NUL and the other controls cannot stand in a name.
void MakeNameSafe(std::string& sjis) {
  for (size_t i = 0; i < sjis.size(); i += enc::CharLength(sjis, i)) {
    const auto c = static_cast<unsigned char>(sjis[i]);
    if (enc::CharLength(sjis, i) == 1 && (c < 0x20 || c == 0x7F || c == '/')) sjis[i] = '_';
  }
}

std::string LengthText(int seconds) {
  const int s = seconds % 60;
  return std::to_string(seconds / 60) + (s < 10 ? "-0" : "-") + std::to_string(s);
}

}  // namespace

std::span<const TagFieldName> TagFieldNames() { return kFields; }

LocalDateTime TakenDate(const tags::TakenTime& t) {
  return {t.year, t.month, t.day, t.hour, t.minute, t.second};
}

TagPattern::TagPattern(std::string_view p) {
  std::string text;
  auto flushText = [&] {
    if (!text.empty()) pieces_.push_back({std::move(text)});
    text.clear();
  };
  for (size_t i = 0; i < p.size();) {
    const size_t len = enc::CharLength(p, i);
    const char c = p[i];
    const bool doubled = i + 1 < p.size() && p[i + 1] == c;
    if (len > 1 || (c != '[' && c != ']')) {
      text.append(p.substr(i, len));
      i += len;
    } else if (doubled) {
      text += c;
      i += 2;
    } else if (c == ']') {
      throw ETagPatternError(
          "「]」に対応する「[」がありません。「]」そのものは「]]」と書いてください。");
    } else {
      size_t j = i + 1;
      while (j < p.size() && p[j] != ']') j += enc::CharLength(p, j);
      if (j >= p.size())
        throw ETagPatternError(
            "「[" + enc::SjisToDisk(p.substr(i + 1)) +
            "」の「[」が閉じていません。「[」そのものは「[[」と書いてください。");
      flushText();
      AddField(p.substr(i + 1, j - i - 1));
      i = j + 1;
    }
  }
  flushText();
}

void TagPattern::AddField(std::string_view inside) {
  const size_t colon = inside.find(':');  // ":" is never the second byte of a character
  const std::string_view name = inside.substr(0, colon);
  const bool hasArg = colon != std::string_view::npos;
  const std::string_view arg = hasArg ? inside.substr(colon + 1) : std::string_view();
  size_t k = 0;
  while (k < SjisNames().size() && SjisNames()[k] != name) ++k;
  if (k == SjisNames().size()) throw ETagPatternError(Shown(inside) + "という項目はありません。");
  Piece piece{{}, true, kFields[k].field};
  if (IsDate(piece.field)) {
    piece.text = arg.empty() ? kDefaultDateFormat : std::string(arg);
  } else if (IsNumber(piece.field) && hasArg) {
    const bool digits = !arg.empty() && arg.size() <= 2 &&
                        arg.find_first_not_of("0123456789") == std::string_view::npos;
    piece.width = digits ? std::stoi(std::string(arg)) : 0;
    if (piece.width < 1 || piece.width > kMaxWidth)
      throw ETagPatternError(Shown(inside) + "の桁数は 1 から 30 の数で書いてください。");
  } else if (hasArg) {
    throw ETagPatternError(Shown(inside) + "には「:」の後の指定は使えません。");
  }
  pieces_.push_back(std::move(piece));
}

std::string TagPattern::FieldText(const Piece& piece, const TagNameRow& row) const {
  const tags::MediaTags& t = row.tags;
  auto number = [&](const std::optional<int>& n) {
    return n ? DecimalText(*n, piece.width) : std::string();
  };
  switch (piece.field) {
    case TagField::Taken:
      return t.taken ? FormatDatePattern(piece.text, TakenDate(*t.taken)) : std::string();
    case TagField::Modified:
      return row.modified ? FormatDatePattern(piece.text, *row.modified) : std::string();
    case TagField::Make:
      return TagText(t.make);
    case TagField::Model:
      return TagText(t.model);
    case TagField::Lens:
      return TagText(t.lens);
    case TagField::Width:
      return number(t.width);
    case TagField::Height:
      return number(t.height);
    case TagField::Title:
      return TagText(t.title);
    case TagField::Artist:
      return TagText(t.artist);
    case TagField::Album:
      return TagText(t.album);
    case TagField::AlbumArtist:
      return TagText(t.albumArtist);
    case TagField::Track:
      return number(t.track);
    case TagField::Disc:
      return number(t.disc);
    case TagField::Year:
      return number(t.year);
    case TagField::Genre:
      return TagText(t.genre);
    case TagField::Length:
      return t.durationSeconds ? LengthText(*t.durationSeconds) : "";
    case TagField::OldName:
      return std::string(row.sjisOldName);
  }
  return {};
}

std::string TagPattern::Name(const TagNameRow& row, std::string_view sjisMissing) const {
  std::string name;
  for (const Piece& piece : pieces_) {
    if (!piece.isField) {
      name += piece.text;
      continue;
    }
    const std::string value = FieldText(piece, row);
    if (value.empty())
      name += sjisMissing;
    else
      name += value;
  }
  MakeNameSafe(name);
  return name;
}

bool TagPattern::ReadsFiles() const {
  for (const Piece& piece : pieces_)
    if (piece.isField && piece.field != TagField::Modified && piece.field != TagField::OldName)
      return true;
  return false;
}

}  // namespace tonbo
