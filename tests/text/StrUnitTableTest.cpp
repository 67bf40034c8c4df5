// Every character of the code page through every conversion, checked against
// what Unicode's own data says of the character (decoded with the code page
// tables of iconv "CP932"). Where the conversions follow the program's own
// choices rather than Unicode, the reference says so.
#include <gtest/gtest.h>
#include <locale.h>

#include <QChar>
#include <QString>
#include <cwctype>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/Sjis.h"
#include "text/StrUnit.h"

namespace tonbo {
namespace {

enc::SjisCodec& Codec() {
  static enc::SjisCodec codec;  // without an earlier version's table
  return codec;
}

// The one character a code stands for, or nothing for bytes that are no character.
std::optional<char16_t> Decode(const std::string& bytes) {
  const std::u16string u = Codec().ToUtf16(bytes);
  if (u.size() != 1 || (u[0] >= 0xDC80 && u[0] <= 0xDCFF)) return std::nullopt;
  return u[0];
}

bool IsUserDefined(unsigned char lead) { return lead >= 0xF0 && lead <= 0xF9; }

// The code page's code for a text, or nothing when it has none.
std::optional<std::string> Encode(const QString& text) {
  std::string out;
  Codec().FromQString(text, out);
  for (size_t i = 0; i < out.size(); i += enc::IsLeadByte(out[i]) ? 2 : 1)
    if (IsUserDefined(out[i])) return std::nullopt;  // the character is not in the code page
  return out;
}

using Reference = QString (*)(char16_t);

QString CaseOf(char16_t u, wint_t (*change)(wint_t, locale_t)) {
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  if (u >= 0x2160 && u <= 0x217F) return QChar(u);  // Roman numerals keep their form
  return QChar(static_cast<char16_t>(change(u, utf8)));
}
QString Lower(char16_t u) { return CaseOf(u, towlower_l); }
QString Upper(char16_t u) { return CaseOf(u, towupper_l); }

// Own pairs: the quotes and the grave accent as in AnkTable, and the spacing
// voiced marks for the half-width marks.
const std::map<char16_t, char16_t> kOwnWide = {
    {u'"', u'”'}, {u'\'', u'’'}, {u'`', u'‘'}, {u'ﾞ', u'゛'}, {u'ﾟ', u'゜'}};

QString Zenkaku(char16_t u) {
  if (kOwnWide.count(u)) return QChar(kOwnWide.at(u));
  if (u == u' ') return QChar(u'　');
  if (u > 0x20 && u < 0x7F) return QChar(static_cast<char16_t>(u - 0x21 + 0xFF01));
  if (QChar(u).decompositionTag() == QChar::Narrow) return QChar(u).decomposition();
  return QChar(u);
}

QString Hankaku(char16_t u) {
  // The half-width form of each part of a decomposed character. Own pairs:
  // ‘ ’ ” ￥ as in AnkTable, and the spacing voiced marks.
  static const auto narrow = [] {
    std::map<char16_t, char16_t> m = {{u'‘', u'`'},      {u'’', u'\''},    {u'”', u'"'},
                                      {u'￥', u'\\'},    {u'゛', u'ﾞ'},    {u'゜', u'ﾟ'},
                                      {u'\u3099', u'ﾞ'}, {u'\u309A', u'ﾟ'}};
    for (char16_t h = 0xFF61; h <= 0xFF9D; ++h) m.emplace(QChar(h).decomposition()[0].unicode(), h);
    return m;
  }();
  const QChar c(u);
  if (c.decompositionTag() == QChar::Wide && c.decomposition()[0].unicode() < 0x7F)
    return c.decomposition();
  QString out;
  for (QChar part : QString(c).normalized(QString::NormalizationForm_D)) {
    if (!narrow.count(part.unicode())) return c;
    out += QChar(narrow.at(part.unicode()));
  }
  return out;
}

// The letters ァ-ヶ and ぁ-ゖ only: the iteration marks ヽヾ ゝゞ stay.
QString Hiragana(char16_t u) { return QChar(u >= u'ァ' && u <= u'ヶ' ? u - 0x60 : u); }
QString Katakana(char16_t u) { return QChar(u >= u'ぁ' && u <= u'ゖ' ? u + 0x60 : u); }

// Every code: single bytes, and each lead byte with every byte after it.
std::vector<std::string> AllCodes() {
  std::vector<std::string> codes;
  for (int b = 0; b < 0x100; ++b) {
    codes.emplace_back(1, static_cast<char>(b));
    if (enc::IsLeadByte(static_cast<unsigned char>(b)))
      for (int t = 0; t < 0x100; ++t) codes.push_back({static_cast<char>(b), static_cast<char>(t)});
  }
  return codes;
}

// User-defined codes stand for characters outside the code page: always kept.
std::string Expected(const std::string& code, Reference reference) {
  if (code.size() == 2 && IsUserDefined(code[0])) return code;
  const std::optional<char16_t> u = Decode(code);
  if (!u || reference(*u) == QChar(*u)) return code;
  return Encode(reference(*u)).value_or(code);
}

struct TableCase {
  const char* name;
  std::string (*convert)(std::string_view);
  Reference reference;
};

class EveryCharacter : public ::testing::TestWithParam<TableCase> {};

TEST_P(EveryCharacter, FollowsTheReference) {
  std::vector<std::string> wrong;
  for (const std::string& code : AllCodes()) {
    const std::string got = GetParam().convert(code);
    if (got != Expected(code, GetParam().reference))
      wrong.push_back(enc::SjisToDisk(code) + " -> " + enc::SjisToDisk(got));
  }
  EXPECT_TRUE(wrong.empty()) << wrong.size() << " wrong, first: " << wrong.front();
}

INSTANTIATE_TEST_SUITE_P(Conversions, EveryCharacter,
                         ::testing::Values(TableCase{"Lower", LowerStr, Lower},
                                           TableCase{"Upper", UpperStr, Upper},
                                           TableCase{"Hankaku", HankakuStr, Hankaku},
                                           TableCase{"Zenkaku", ZenkakuStr, Zenkaku},
                                           TableCase{"Hiragana", HiraganaStr, Hiragana},
                                           TableCase{"Katakana", KatakanaStr, Katakana}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tonbo
