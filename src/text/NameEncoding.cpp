#include "text/NameEncoding.h"

#include <iconv.h>

#include <QChar>
#include <QString>
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>

#include "common/Sjis.h"
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

// The byte Windows reads as this character in code page 932, -1 for the
// characters of the common table: Windows alone maps 0x80, 0xA0 and 0xFD-0xFF.
int WindowsOnlyByte(char32_t u) {
  if (u == 0x80) return 0x80;
  if (u == 0xF8F0) return 0xA0;
  if (u >= 0xF8F1 && u <= 0xF8F3) return static_cast<int>(0xFD + (u - 0xF8F1));
  return -1;
}

void AppendUtf8(std::string& out, char32_t u) { enc::AppendUtf8Char(out, u); }

// Text that Windows read from code page 932, back to those bytes.
std::optional<std::string> ToCp932AsWindows(std::u32string_view text) {
  std::string out, run;
  const auto flush = [&] {
    const auto bytes = run.empty() ? std::optional<std::string>("") : ToCp932(run);
    if (bytes) out += *bytes;
    run.clear();
    return bytes.has_value();
  };
  for (char32_t u : text) {
    const int b = WindowsOnlyByte(u);
    if (b < 0) {
      AppendUtf8(run, u);
    } else {
      if (!flush()) return std::nullopt;
      out += static_cast<char>(b);
    }
  }
  if (!flush()) return std::nullopt;
  return out;
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

// The kanji taught in primary school: most names are written with these, and
// a garbled reading seldom lands on two of them in a row.
constexpr std::u32string_view kCommonKanji =
    U"一右雨円王音下火花貝学気九休玉金空月犬見五口校左三山子四糸字耳七車手十出女小上森"
    U"人水正生青夕石赤千川先早草足村大男竹中虫町天田土二日入年白八百文木本名目立力林六"
    U"引羽雲園遠何科夏家歌画回会海絵外角楽活間丸岩顔汽記帰弓牛魚京強教近兄形計元言原戸"
    U"古午後語工公広交光考行高黄合谷国黒今才細作算止市矢姉思紙寺自時室社弱首秋週春書少"
    U"場色食心新親図数西声星晴切雪船線前組走多太体台地池知茶昼長鳥朝直通弟店点電刀冬当"
    U"東答頭同道読内南肉馬売買麦半番父風分聞米歩母方北毎妹万明鳴毛門夜野友用曜来里理話"
    U"悪安暗医委意育員院飲運泳駅央横屋温化荷界開階寒感漢館岸起期客究急級宮球去橋業曲局"
    U"銀区苦具君係軽血決研県庫湖向幸港号根祭皿仕死使始指歯詩次事持式実写者主守取酒受州"
    U"拾終習集住重宿所暑助昭消商章勝乗植申身神真深進世整昔全相送想息速族他打対待代第題"
    U"炭短談着注柱丁帳調追定庭笛鉄転都度投豆島湯登等動童農波配倍箱畑発反坂板皮悲美鼻筆"
    U"氷表秒病品負部服福物平返勉放味命面問役薬由油有遊予羊洋葉陽様落流旅両緑礼列練路和"
    U"愛案以衣位茨印英栄媛塩岡億加果貨課芽賀改械害街各覚潟完官管関観願岐希季旗器機議求"
    U"泣給挙漁共協鏡競極熊訓軍郡群径景芸欠結建健験固功好香候康佐差菜最埼材崎昨札刷察参"
    U"産散残氏司試児治滋辞鹿失借種周祝順初松笑唱焼照城縄臣信井成省清静席積折節説浅戦選"
    U"然争倉巣束側続卒孫帯隊達単置仲沖兆低底的典伝徒努灯働特徳栃奈梨熱念敗梅博阪飯飛必"
    U"票標不夫付府阜富副兵別辺変便包法望牧末満未民無約勇要養浴利陸良料量輪類令冷例連老"
    U"労録圧囲移因永営衛易益液演応往桜可仮価河過快解格確額刊幹慣眼紀基寄規喜技義逆久旧"
    U"救居許境均禁句型経潔件険検限現減故個護効厚耕航鉱構興講告混査再災妻採際在財罪殺雑"
    U"酸賛士支史志枝師資飼示似識質舎謝授修述術準序招証象賞条状常情織職制性政勢精製税責"
    U"績接設絶祖素総造像増則測属率損貸態団断築貯張停提程適統堂銅導得毒独任燃能破犯判版"
    U"比肥非費備評貧布婦武復複仏粉編弁保墓報豊防貿暴脈務夢迷綿輸余容略留領歴胃異遺域宇"
    U"映延沿恩我灰拡革閣割株干巻看簡危机揮貴疑吸供胸郷勤筋系敬警劇激穴券絹権憲源厳己呼"
    U"誤后孝皇紅降鋼刻穀骨困砂座済裁策冊蚕至私姿視詞誌磁射捨尺若樹収宗就衆従縦縮熟純処"
    U"署諸除承将傷障蒸針仁垂推寸盛聖誠舌宣専泉洗染銭善奏窓創装層操蔵臓存尊退宅担探誕段"
    U"暖値宙忠著庁頂腸潮賃痛敵展討党糖届難乳認納脳派拝背肺俳班晩否批秘俵腹奮並陛閉片補"
    U"暮宝訪亡忘棒枚幕密盟模訳郵優預幼欲翌乱卵覧裏律臨朗論";

bool IsCommonKanji(char32_t u) {
  static const auto table = [] {
    auto bits = std::make_unique<std::bitset<0xA000 - 0x4E00>>();
    for (char32_t k : kCommonKanji) bits->set(k - 0x4E00);
    return bits;
  }();
  return u >= 0x4E00 && u < 0xA000 && table->test(u - 0x4E00);
}

// The first level of JIS kanji (code page 932 0x889F-0x9872): the everyday ones.
bool IsFirstLevelKanji(char32_t u) {
  std::string utf8;
  AppendUtf8(utf8, u);
  const auto bytes = ToCp932(utf8);
  if (!bytes || bytes->size() != 2) return false;
  const int code =
      static_cast<unsigned char>((*bytes)[0]) << 8 | static_cast<unsigned char>((*bytes)[1]);
  return code >= 0x889F && code <= 0x9872;
}

// Weights of characters, in steps small enough to rank the kinds of kanji
// against half-width katakana, which take one byte each.
constexpr int kKana = 16;          // hiragana and katakana
constexpr int kCommonKanjiW = 24;  // kanji of kCommonKanji
constexpr int kFirstLevel = 8;     // other kanji of the first JIS level
constexpr int kRareKanji = 2;      // every other kanji
constexpr int kHalfSyllable = 7;   // a half-width kana, one byte of code page 932
constexpr int kHalfMark = 10;      // a voicing mark, small kana or ｰ where a word has it
constexpr int kOther = 4;          // symbols, full-width letters, accented Latin

// Half-width katakana read as a word: a voicing mark after a kana that takes
// it, a small kana or a long-vowel mark after a kana. Names of code page 932
// in half-width katakana (ﾃﾞｰﾀ, ｺﾋﾟｰ) carry these; EUC-JP kanji read as
// half-width katakana put them anywhere.
int HalfWidthKanaWeight(char32_t u, char32_t prev) {
  const bool afterKana = prev >= 0xFF66 && prev <= 0xFF9F && prev != 0xFF70;
  const bool afterSyllable = prev >= 0xFF71 && prev <= 0xFF9D;
  const bool voiceable = prev == 0xFF73 || (prev >= 0xFF76 && prev <= 0xFF84) ||
                         (prev >= 0xFF8A && prev <= 0xFF8E);  // ｳ, ｶ-ﾄ, ﾊ-ﾎ
  const bool semiVoiceable = prev >= 0xFF8A && prev <= 0xFF8E;
  if (u <= 0xFF65) return 0;                              // ｡｢｣､･
  if (u == 0xFF66) return kRareKanji;                     // ｦ
  if (u <= 0xFF6F) return afterSyllable ? kHalfMark : 0;  // ｧ-ｯ
  if (u == 0xFF70) return afterKana ? kHalfMark : 0;      // ｰ
  if (u <= 0xFF9D) return kHalfSyllable;
  if (u == 0xFF9E) return voiceable ? kHalfMark : 0;  // ﾞ
  return semiVoiceable ? kHalfMark : 0;               // ﾟ
}

// How much one character speaks for a Japanese (or Western) name.
int CharWeight(char32_t u, char32_t prev) {
  if (u < 0x20 || (u >= 0x7F && u <= 0x9F)) return kRuledOut;
  if (u < 0x80) return 0;
  if (u >= 0x3041 && u <= 0x30FF) return kKana;
  if (u >= 0x4E00 && u <= 0x9FFF)
    return IsCommonKanji(u) ? kCommonKanjiW : IsFirstLevelKanji(u) ? kFirstLevel : kRareKanji;
  if (u >= 0x3400 && u <= 0x4DBF) return kRareKanji;
  if (u >= 0xFF61 && u <= 0xFF9F) return HalfWidthKanaWeight(u, prev);
  if ((u >= 0x3000 && u <= 0x303F) || (u >= 0xFF01 && u <= 0xFF5E) ||
      (u >= 0xC0 && u <= 0x24F && u != 0xD7 && u != 0xF7))
    return kOther;
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
  char32_t prev = 0;
  for (char32_t u : text) {
    const int w = CharWeight(u, prev);
    if (w == kRuledOut) return std::nullopt;
    sum += w;
    prev = u;
  }
  return sum;
}

std::optional<int> PlausibilityOf(const std::optional<std::string>& utf8) {
  if (!utf8) return std::nullopt;
  const auto text = DecodeUtf8(*utf8);
  return text ? Plausibility(*text) : std::nullopt;
}

// Two readings closer than this are both believable: the name is left alone.
constexpr int kClearMargin = 8;
// What a reading loses for each double-byte character of code page 932 that
// takes an ASCII byte as its trail where the other reading leaves that byte a
// letter of its own (後Memo in EUC-JP is not ｸ藪emo).
constexpr int kJoinedAscii = 16;

struct Cp932Pairs {
  int joinedAscii = 0;     // pairs whose trail is ASCII
  int joinedSymbol = 0;    // of them, symbols and full-width letters (＼ is 0x81 '_')
  bool eucShifts = false;  // EUC-JP's half-width katakana (two in a row) or 0x8F triples
};

Cp932Pairs PairsOf(std::string_view cp932) {
  Cp932Pairs pairs;
  bool lastWasMark = false;
  for (size_t i = 0; i < cp932.size(); ++i) {
    const auto lead = static_cast<unsigned char>(cp932[i]);
    if (!enc::IsLeadByte(lead) || i + 1 == cp932.size()) {
      lastWasMark = false;
      continue;
    }
    const auto trail = static_cast<unsigned char>(cp932[++i]);
    if (trail < 0x80) {
      ++pairs.joinedAscii;
      if (lead <= 0x87 && lead != 0x83) ++pairs.joinedSymbol;
    }
    const bool mark = lead == 0x8E && trail >= 0xA1 && trail <= 0xDF;
    const auto next = i + 1 < cp932.size() ? static_cast<unsigned char>(cp932[i + 1]) : 0;
    if ((mark && lastWasMark) || (lead == 0x8F && trail >= 0xA1 && next >= 0xA1 && next < 0xFF))
      pairs.eucShifts = true;
    lastWasMark = mark;
  }
  return pairs;
}

// Bytes that are not UTF-8: the Japanese reading that reads clearly better
// than the other, else Latin-1 when it gives accented letters. EUC-JP's
// half-width katakana (0x8E before each) and supplementary characters (0x8F
// before two bytes, as é) read in code page 932 as kanji of one row: either
// may be meant, and the name is left alone.
Garbling DetectRaw(std::string_view disk) {
  auto sjis = PlausibilityOf(Ungarble(Garbling::Cp932, disk));
  const auto euc = PlausibilityOf(Ungarble(Garbling::EucJp, disk));
  if (sjis && euc) {
    const Cp932Pairs pairs = PairsOf(disk);
    if (pairs.eucShifts) return Garbling::None;
    *sjis -= kJoinedAscii * pairs.joinedAscii;
    if (*sjis >= *euc + kClearMargin) return Garbling::Cp932;
    if (*euc >= *sjis + kClearMargin) return Garbling::EucJp;
    return Garbling::None;
  }
  if (sjis) return Garbling::Cp932;
  if (euc) return Garbling::EucJp;
  const auto latin = PlausibilityOf(Ungarble(Garbling::Latin1, disk));
  return latin && *latin > 0 ? Garbling::Latin1 : Garbling::None;
}

// The characters a Japanese name is written with: ASCII, kana and the
// kanji of the first level.
bool IsEveryday(const std::u32string& text) {
  for (char32_t u : text)
    if (u >= 0x80 && CharWeight(u, 0) < kFirstLevel) return false;
  return true;
}

// UTF-8 that may have been decoded once too often: the undoing must give
// valid UTF-8 that reads well and is shorter than the garbled form. Shown in
// code page 932, a character followed by ASCII may take that byte into a
// symbol (桁_ becomes 譯＼) and the garbled form is no longer: an undoing of
// that length is taken when it gives everyday characters and reads plainly
// better than the garbled form.
Garbling DetectTwice(std::string_view disk, const std::u32string& text) {
  for (Garbling how : {Garbling::Latin1Twice, Garbling::Cp932Twice}) {
    const auto repaired = Ungarble(how, disk);
    if (!repaired || *repaired == disk) continue;
    const auto back = DecodeUtf8(*repaired);
    const auto score = back ? Plausibility(*back) : std::nullopt;
    if (!score || back->size() > text.size()) continue;
    if (how == Garbling::Latin1Twice) {
      if (back->size() < text.size()) return how;
      continue;
    }
    if (*score <= 0) continue;
    if (back->size() == text.size()) {
      const int swallowed = PairsOf(*repaired).joinedSymbol;
      const int garbled = Plausibility(text).value_or(0) - kJoinedAscii * swallowed;
      if (swallowed == 0 || !IsEveryday(*back) || *score < garbled + kClearMargin) continue;
    }
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
      const auto text = DecodeUtf8(disk);
      if (!text) return std::nullopt;
      auto bytes = ToCp932AsWindows(*text);
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
