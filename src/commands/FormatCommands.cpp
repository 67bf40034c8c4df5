#include "commands/FormatCommands.h"

#include <iterator>

#include "text/StrUnit.h"

namespace tonbo {
namespace {

struct Row {
  Formatting formatting;
  FormatRule rule;
};

// Kana have no place in an extension.
constexpr Row kRows[] = {
    {Formatting::Lower, {"小文字に揃える", LowerStr, true}},
    {Formatting::Upper, {"大文字に揃える", UpperStr, true}},
    {Formatting::HankakuAnk, {"英数記号のみ半角に揃える", HankakuAnkStr, true}},
    {Formatting::Hankaku, {"半角に揃える", HankakuStr, true}},
    {Formatting::Zenkaku, {"全角に揃える", ZenkakuStr, true}},
    {Formatting::Hiragana, {"ひらがなに揃える", HiraganaStr, false}},
    {Formatting::Katakana, {"カタカナに揃える", KatakanaStr, false}},
};

constexpr bool EveryFormattingInItsPlace() {
  for (size_t i = 0; i < std::size(kRows); ++i)
    if (kRows[i].formatting != static_cast<Formatting>(i)) return false;
  return std::size(kRows) == static_cast<size_t>(Formatting::Katakana) + 1;
}
static_assert(EveryFormattingInItsPlace());

}  // namespace

const FormatRule& FormatRuleOf(Formatting formatting) {
  return kRows[static_cast<size_t>(formatting)].rule;
}

}  // namespace tonbo
