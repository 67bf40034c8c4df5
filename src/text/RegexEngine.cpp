#include "text/RegexEngine.h"

#include <oniguruma.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "common/Sjis.h"
#include "text/RegexCommand.h"
#include "text/StrUnitChars.h"

namespace tonbo {
namespace {

using Clock = std::chrono::steady_clock;

// Backtracking steps allowed at one start position and in one whole search
// (some 0.1 s and 0.4 s of work), and entries of the backtracking stack
// (some 32 bytes each).
constexpr unsigned long kRetryLimitInMatch = 10'000'000;
constexpr unsigned long kRetryLimitInSearch = 20'000'000;
constexpr unsigned int kMatchStackLimit = 4'000'000;
// A global substitution searches many times; it gives up after this long.
constexpr auto kSubstTimeLimit = std::chrono::seconds(1);

constexpr char kNotASubstitution[] = "置換には s/…/…/ の形を使います";
constexpr char kTooMuchWork[] = "照合の手間が上限を超えました（パターンを見直してください）";
constexpr char kTooLong[] = "照合に時間がかかりすぎるため中止しました";

// A fault that ends the call; its message (code page 932) goes to the error buffer.
struct Failure {
  std::string message;
};

// Oniguruma's code page 932 folds ASCII letters only. The double-byte letters
// that have both forms fold too, so /i finds what the plain search finds.
strunit::Code OtherCase(OnigCodePoint code) {
  if (code <= 0xFF || code > 0xFFFF) return 0;
  const auto c = static_cast<strunit::Code>(code);
  const strunit::Code lower = strunit::LowerMap().Get(c);
  return lower != 0 ? lower : strunit::UpperMap().Get(c);
}

strunit::Code DoubleByteAt(const OnigUChar* p, const OnigUChar* end) {
  return end - p >= 2 && strunit::IsLead(p[0]) ? static_cast<strunit::Code>(p[0] << 8 | p[1]) : 0;
}

int FoldCase(OnigCaseFoldType flag, const OnigUChar** pp, const OnigUChar* end, OnigUChar* to) {
  const strunit::Code lower = strunit::LowerMap().Get(DoubleByteAt(*pp, end));
  if (lower == 0) return OnigEncodingSJIS.mbc_case_fold(flag, pp, end, to);
  to[0] = static_cast<OnigUChar>(lower >> 8);
  to[1] = static_cast<OnigUChar>(lower & 0xFF);
  *pp += 2;
  return 2;
}

int ApplyAllCaseFold(OnigCaseFoldType flag, OnigApplyAllCaseFoldFunc apply, void* arg) {
  if (const int r = OnigEncodingSJIS.apply_all_case_fold(flag, apply, arg); r != 0) return r;
  for (OnigCodePoint code = 0x8140; code <= 0x84FC; ++code) {
    OnigCodePoint lower = strunit::LowerMap().Get(static_cast<strunit::Code>(code));
    if (lower == 0) continue;
    OnigCodePoint upper = code;
    if (const int r = apply(upper, &lower, 1, arg); r != 0) return r;
    if (const int r = apply(lower, &upper, 1, arg); r != 0) return r;
  }
  return 0;
}

int CaseFoldCodes(OnigCaseFoldType flag, const OnigUChar* p, const OnigUChar* end,
                  OnigCaseFoldCodeItem items[]) {
  const strunit::Code other = OtherCase(DoubleByteAt(p, end));
  if (other == 0) return OnigEncodingSJIS.get_case_fold_codes_by_str(flag, p, end, items);
  items[0].byte_len = 2;
  items[0].code_len = 1;
  items[0].code[0] = other;
  return 1;
}

OnigEncoding Cp932() {
  static OnigEncodingType encoding = [] {
    OnigEncodingType e = OnigEncodingSJIS;
    e.mbc_case_fold = FoldCase;
    e.apply_all_case_fold = ApplyAllCaseFold;
    e.get_case_fold_codes_by_str = CaseFoldCodes;
    return e;
  }();
  return &encoding;
}

void InitializeOniguruma() {
  static const bool done = [] {
    OnigEncoding encodings[] = {Cp932()};
    return onig_initialize(encodings, 1) == ONIG_NORMAL;
  }();
  (void)done;
}

struct CompiledRecord : TRegexRecord {
  std::string command;
  TRegexCommand parsed;
  OnigRegex regex = nullptr;
  OnigRegion* region = nullptr;
  OnigMatchParam* param = nullptr;
  std::string result;

  CompiledRecord() = default;
  CompiledRecord(const CompiledRecord&) = delete;
  CompiledRecord& operator=(const CompiledRecord&) = delete;
  ~CompiledRecord() {
    if (param) onig_free_match_param(param);
    if (region) onig_region_free(region, 1);
    if (regex) onig_free(regex);
  }
};

bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Oniguruma shortens a long name in its message without regard to
// double-byte characters; a lead byte left without its trail is dropped.
std::string OnigText(int code, OnigErrorInfo* info) {
  OnigUChar buffer[ONIG_MAX_ERROR_MESSAGE_LEN] = {};
  const int length = onig_error_code_to_str(buffer, code, info);
  const std::string_view text(reinterpret_cast<const char*>(buffer), length > 0 ? length : 0);
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const size_t n = SjisCharLength(text, i);
    const bool broken = enc::IsLeadByte(static_cast<unsigned char>(text[i])) &&
                        (n == 1 || !IsTrailByte(static_cast<unsigned char>(text[i + 1])));
    if (!broken) out += text.substr(i, n);
    i += broken ? 1 : n;
  }
  return out;
}

// Our words for the mistakes people make most; the rest keep Oniguruma's text.
constexpr std::pair<int, const char*> kOurWords[] = {
    {ONIGERR_END_PATTERN_WITH_UNMATCHED_PARENTHESIS, "「(」が閉じていません"},
    {ONIGERR_UNMATCHED_CLOSE_PARENTHESIS, "「)」に対応する「(」がありません"},
    {ONIGERR_PREMATURE_END_OF_CHAR_CLASS, "「[」が閉じていません"},
    {ONIGERR_TARGET_OF_REPEAT_OPERATOR_NOT_SPECIFIED, "繰り返しの対象がありません"},
    {ONIGERR_INVALID_BACKREF, "後方参照の番号か名前が正しくありません"},
    {ONIGERR_EMPTY_RANGE_IN_CHAR_CLASS, "文字クラスの範囲が逆順です"},
    {ONIGERR_UPPER_SMALLER_THAN_LOWER_IN_REPEAT_RANGE, "繰り返し回数の上限が下限より小さいです"},
    {ONIGERR_UNDEFINED_GROUP_OPTION, "「(?」の後ろが正しくありません"},
    {ONIGERR_TOO_SHORT_MULTI_BYTE_STRING, "２バイト文字が途中で切れています"},
    {ONIGERR_INVALID_LOOK_BEHIND_PATTERN, "後読みに使えないパターンです"},
};

std::string CompileMessage(int code, OnigErrorInfo& info) {
  for (const auto& [known, ours] : kOurWords)
    if (known == code) return enc::Lit(std::string("正規表現の誤り：") + ours);
  return enc::Lit("正規表現の誤り：") + OnigText(code, &info);
}

std::string SearchMessage(int code) {
  switch (code) {
    case ONIGERR_RETRY_LIMIT_IN_MATCH_OVER:
    case ONIGERR_RETRY_LIMIT_IN_SEARCH_OVER:
    case ONIGERR_MATCH_STACK_LIMIT_OVER:
      return enc::Lit(kTooMuchWork);
    default:
      return enc::Lit("照合できません：") + OnigText(code, nullptr);
  }
}

// Perl's /m and /s under Oniguruma's names: its "multiline" is Perl's /s,
// and Perl's /m lifts the default of ^ = \A and $ = \Z.
OnigOptionType OptionsOf(const TRegexCommand& c) {
  OnigOptionType o = ONIG_OPTION_CAPTURE_GROUP;  // plain groups keep numbers beside named ones
  if (c.ignoreCase) o |= ONIG_OPTION_IGNORECASE;
  if (c.extended) o |= ONIG_OPTION_EXTEND;
  if (c.dotAll) o |= ONIG_OPTION_MULTILINE;
  if (c.multiLine) o |= ONIG_OPTION_NEGATE_SINGLELINE;
  return o;
}

void PrepareSearch(CompiledRecord& rec) {
  rec.region = onig_region_new();
  rec.param = onig_new_match_param();
  if (!rec.region || !rec.param) throw std::bad_alloc();
  onig_initialize_match_param(rec.param);
  onig_set_retry_limit_in_match_of_match_param(rec.param, kRetryLimitInMatch);
  onig_set_retry_limit_in_search_of_match_param(rec.param, kRetryLimitInSearch);
  onig_set_match_stack_limit_size_of_match_param(rec.param, kMatchStackLimit);
}

CompiledRecord* Compile(const char* command) {
  InitializeOniguruma();
  auto rec = std::make_unique<CompiledRecord>();
  rec->command = command;
  std::string error;
  if (!ParseRegexCommand(rec->command, rec->parsed, error)) throw Failure{error};
  const std::string& pattern = rec->parsed.pattern;
  const auto* start = reinterpret_cast<const OnigUChar*>(pattern.data());
  OnigErrorInfo info{};
  const int r = onig_new(&rec->regex, start, start + pattern.size(), OptionsOf(rec->parsed),
                         Cp932(), ONIG_SYNTAX_PERL_NG, &info);
  if (r != ONIG_NORMAL) {
    rec->regex = nullptr;
    throw Failure{CompileMessage(r, info)};
  }
  PrepareSearch(*rec);
  rec->commandCopy = rec->command.c_str();
  return rec.release();
}

CompiledRecord& RecordFor(const char* command, TRegexRecord** slot) {
  if (!*slot) *slot = Compile(command);
  return *static_cast<CompiledRecord*>(*slot);
}

// The text being searched.
struct Subject {
  const char* bytes;
  size_t size;
};

// Searches from the offset on; false when nothing matches.
bool Search(CompiledRecord& rec, const Subject& text, size_t from) {
  const auto* start = reinterpret_cast<const OnigUChar*>(text.bytes);
  const int r = onig_search_with_param(rec.regex, start, start + text.size, start + from,
                                       start + text.size, rec.region, ONIG_OPTION_NONE, rec.param);
  if (r == ONIG_MISMATCH) return false;
  if (r < 0) throw Failure{SearchMessage(r)};
  return true;
}

// Offsets of group n in the last match, empty when the group took no part.
// They are kept inside the text: a lead byte that ends it counts as a whole
// character to Oniguruma.
std::pair<size_t, size_t> GroupSpan(const CompiledRecord& rec, int n, const Subject& text) {
  const OnigRegion* region = rec.region;
  if (n >= region->num_regs || region->beg[n] == ONIG_REGION_NOTPOS) return {0, 0};
  const size_t begin = std::min<size_t>(region->beg[n], text.size);
  return {begin, std::clamp<size_t>(region->end[n], begin, text.size)};
}

void AppendReplacement(CompiledRecord& rec, const Subject& text) {
  for (const TReplacePiece& piece : rec.parsed.replacement) {
    if (piece.group < 0) {
      rec.result += piece.text;
    } else {
      const auto [begin, end] = GroupSpan(rec, piece.group, text);
      rec.result.append(text.bytes + begin, end - begin);
    }
  }
}

// Whether a non-empty match begins exactly at the offset.
bool MatchNotEmptyAt(CompiledRecord& rec, const Subject& text, size_t at) {
  const auto* start = reinterpret_cast<const OnigUChar*>(text.bytes);
  const int r = onig_match_with_param(rec.regex, start, start + text.size, start + at, rec.region,
                                      ONIG_OPTION_FIND_NOT_EMPTY, rec.param);
  if (r == ONIG_MISMATCH) return false;
  if (r < 0) throw Failure{SearchMessage(r)};
  return true;
}

// Perl's order: after an empty match, the next match may not be empty at the
// same place; a non-empty one there is tried first (s/a*?/-/g turns "aa"
// into "-----"), and failing that the character stays and the search goes on
// behind it (s/x*/-/g turns "ab" into "-a-b-").
int Substitute(CompiledRecord& rec, const Subject& text) {
  if (!rec.parsed.substitute) throw Failure{enc::Lit(kNotASubstitution)};
  const auto deadline = Clock::now() + kSubstTimeLimit;
  const std::string_view all(text.bytes, text.size);
  rec.result.clear();
  rec.resultStart = nullptr;
  size_t from = 0, copied = 0;
  bool emptyAtFrom = false;  // the last match was empty and ended at `from`
  int count = 0;
  for (;;) {
    const bool found = emptyAtFrom && MatchNotEmptyAt(rec, text, from);
    if (!found && emptyAtFrom) {
      if (from >= text.size) break;
      from += SjisCharLength(all, from);
    }
    if (!found && !Search(rec, text, from)) break;
    const auto [begin, end] = GroupSpan(rec, 0, text);
    rec.result.append(all.substr(copied, begin - copied));
    AppendReplacement(rec, text);
    copied = from = end;
    emptyAtFrom = begin == end;
    ++count;
    if (!rec.parsed.global) break;
    if (Clock::now() > deadline) throw Failure{enc::Lit(kTooLong)};
  }
  if (count == 0) return 0;
  rec.result.append(all.substr(copied));
  rec.resultStart = rec.result.c_str();
  return count;
}

// Copies the message, cut on a character boundary to fit the buffer.
void WriteError(char* error, const std::string& message) {
  size_t n = 0;
  while (n < message.size()) {
    const size_t next = n + SjisCharLength(message, n);
    if (next > kBRegErrorSize - 1) break;
    n = next;
  }
  std::memcpy(error, message.data(), n);
  error[n] = '\0';
}

template <typename Run>
int Reporting(char* error, Run run) {
  error[0] = '\0';
  try {
    return run();
  } catch (const Failure& failure) {
    WriteError(error, failure.message);
    return 0;
  }
}

}  // namespace

int BMatch(const char* command, const char* textStart, const char* textEnd, TRegexRecord** record,
           char* error) {
  return Reporting(error, [&] {
    CompiledRecord& rec = RecordFor(command, record);
    return Search(rec, {textStart, static_cast<size_t>(textEnd - textStart)}, 0) ? 1 : 0;
  });
}

int BSubst(const char* command, const char* textStart, const char* textEnd, TRegexRecord** record,
           char* error) {
  return Reporting(error, [&] {
    CompiledRecord& rec = RecordFor(command, record);
    return Substitute(rec, {textStart, static_cast<size_t>(textEnd - textStart)});
  });
}

void BRegfree(TRegexRecord* record) { delete static_cast<CompiledRecord*>(record); }

}  // namespace tonbo
