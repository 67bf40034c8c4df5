#include "text/NameEncoding.h"

#include <iconv.h>

#include <QChar>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "common/Utf8.h"

namespace tonbo {
namespace {

// One converter per direction, opened on first use and kept.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // The whole input converted, or nullopt at the first byte that does not convert.
  std::optional<std::string> operator()(std::string_view in) {
    if (!Ok()) return std::nullopt;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 8, '\0');
    char* ip = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* op = out.data();
    size_t outLeft = out.size();
    if (iconv(cd_, &ip, &inLeft, &op, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
      return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
  }

 private:
  bool Ok() const { return reinterpret_cast<std::intptr_t>(cd_) != -1; }  // (iconv_t)-1: failed
  iconv_t cd_;
};

std::optional<std::string> FromCp932(std::string_view in) {
  static Converter c("UTF-8", "CP932");
  return c(in);
}
std::optional<std::string> FromEucJp(std::string_view in) {
  static Converter c("UTF-8", "EUC-JP");
  return c(in);
}
std::optional<std::string> ToCp932(std::string_view in) {
  static Converter c("CP932", "UTF-8");
  return c(in);
}

// Strict UTF-8 (no overlong forms, no surrogates); nullopt when not UTF-8.
std::optional<std::u32string> DecodeUtf8(std::string_view s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int len = c < 0x80                 ? 1
                    : c >= 0xC2 && c <= 0xDF ? 2
                    : c >= 0xE0 && c <= 0xEF ? 3
                    : c >= 0xF0 && c <= 0xF4 ? 4
                                             : 0;
    if (len == 0 || i + len > s.size()) return std::nullopt;
    char32_t u = len == 1 ? c : c & (0xFF >> (len + 1));
    for (int k = 1; k < len; ++k) {
      const auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return std::nullopt;
      u = (u << 6) | (t & 0x3F);
    }
    if ((len == 3 && u < 0x800) || (len == 4 && u < 0x10000) || u > 0x10FFFF ||
        (u >= 0xD800 && u <= 0xDFFF))
      return std::nullopt;
    out += u;
    i += static_cast<size_t>(len);
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t u) { enc::AppendUtf8Char(out, u); }

// Windows-1252's characters for 0x80-0x9F (0 where it has none): garbled
// names made on Windows show these where Latin-1 has control characters.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The byte a character stands for when UTF-8 was shown as Latin-1 or Windows-1252.
int Latin1Byte(char32_t u) {
  if (u <= 0xFF) return static_cast<int>(u);
  for (size_t i = 0; i < kCp1252High.size(); ++i)
    if (kCp1252High[i] != 0 && kCp1252High[i] == u) return static_cast<int>(0x80 + i);
  return -1;
}

constexpr int kRuledOut = -1;

// How much one character speaks for a Japanese (or Western) name.
int CharWeight(char32_t u) {
  if (u < 0x20 || (u >= 0x7F && u <= 0x9F)) return kRuledOut;
  if (u < 0x80) return 0;
  if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF)) return 2;
  if ((u >= 0x3000 && u <= 0x303F) || (u >= 0x3400 && u <= 0x4DBF) ||
      (u >= 0xFF01 && u <= 0xFF5E) || (u >= 0xC0 && u <= 0x24F && u != 0xD7 && u != 0xF7))
    return 1;
  switch (QChar::category(u)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
      return kRuledOut;
    default:
      return 0;
  }
}

// The weight of a whole reading, or nullopt when a character rules it out.
std::optional<int> Plausibility(std::u32string_view text) {
  int sum = 0;
  for (char32_t u : text) {
    const int w = CharWeight(u);
    if (w == kRuledOut) return std::nullopt;
    sum += w;
  }
  return sum;
}

std::optional<int> PlausibilityOf(const std::optional<std::string>& utf8) {
  if (!utf8) return std::nullopt;
  const auto text = DecodeUtf8(*utf8);
  return text ? Plausibility(*text) : std::nullopt;
}

// Bytes that are not UTF-8: the Japanese reading that reads best (code page
// 932 first on a tie), else Latin-1 when it gives accented letters.
Garbling DetectRaw(std::string_view disk) {
  Garbling best = Garbling::None;
  int bestScore = -1;
  for (Garbling how : {Garbling::Cp932, Garbling::EucJp}) {
    const auto score = PlausibilityOf(Ungarble(how, disk));
    if (score && *score > bestScore) best = how, bestScore = *score;
  }
  if (best != Garbling::None) return best;
  const auto latin = PlausibilityOf(Ungarble(Garbling::Latin1, disk));
  return latin && *latin > 0 ? Garbling::Latin1 : Garbling::None;
}

// UTF-8 that may have been decoded once too often: the undoing must give
// valid UTF-8 that reads well and is shorter than the garbled form.
Garbling DetectTwice(std::string_view disk, const std::u32string& text) {
  for (Garbling how : {Garbling::Latin1Twice, Garbling::Cp932Twice}) {
    const auto repaired = Ungarble(how, disk);
    if (!repaired || *repaired == disk) continue;
    const auto back = DecodeUtf8(*repaired);
    const auto score = back ? Plausibility(*back) : std::nullopt;
    if (!score || back->size() >= text.size()) continue;
    if (how == Garbling::Cp932Twice && *score <= 0) continue;
    return how;
  }
  return Garbling::None;
}

}  // namespace

Garbling DetectGarbling(std::string_view disk) {
  const auto text = DecodeUtf8(disk);
  if (!text) return DetectRaw(disk);
  for (char32_t u : *text)
    if (u >= 0x80) return DetectTwice(disk, *text);
  return Garbling::None;
}

std::optional<std::string> Ungarble(Garbling how, std::string_view disk) {
  switch (how) {
    case Garbling::None:
      return std::string(disk);
    case Garbling::Cp932:
      return FromCp932(disk);
    case Garbling::EucJp:
      return FromEucJp(disk);
    case Garbling::Latin1: {
      std::string out;
      for (char c : disk) AppendUtf8(out, static_cast<unsigned char>(c));
      return out;
    }
    case Garbling::Cp932Twice: {
      if (!DecodeUtf8(disk)) return std::nullopt;
      auto bytes = ToCp932(disk);
      if (!bytes || !DecodeUtf8(*bytes)) return std::nullopt;
      return bytes;
    }
    case Garbling::Latin1Twice: {
      const auto text = DecodeUtf8(disk);
      if (!text) return std::nullopt;
      std::string bytes;
      for (char32_t u : *text) {
        const int b = Latin1Byte(u);
        if (b < 0) return std::nullopt;
        bytes += static_cast<char>(b);
      }
      if (!DecodeUtf8(bytes)) return std::nullopt;
      return bytes;
    }
  }
  return std::nullopt;
}

std::string ComposedName(std::string_view disk) {
  if (!DecodeUtf8(disk)) return std::string(disk);
  const QString text = QString::fromUtf8(disk.data(), static_cast<qsizetype>(disk.size()));
  return text.normalized(QString::NormalizationForm_C).toStdString();
}

}  // namespace tonbo
