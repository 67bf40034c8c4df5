#pragma once
// The formatting commands of "整形": the main window's menu items and
// tonbo-cli's options convert names with the same function under the same
// label, and leave extensions alone in the same cases.
#include <string>
#include <string_view>

namespace tonbo {

enum class Formatting { Lower, Upper, HankakuAnk, Hankaku, Zenkaku, Hiragana, Katakana };

struct FormatRule {
  const char* label;  // UTF-8: follows the count in the status text and the report
  std::string (*convert)(std::string_view);
  bool extensionToo;  // converts `Ext` as well while extensions may change
};

const FormatRule& FormatRuleOf(Formatting formatting);

}  // namespace tonbo
