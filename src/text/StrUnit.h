#pragma once
// String utility unit: code page 932 aware conversions and searches.
//
// Every text is a code page 932 byte string: a byte in 0x81-0x9F or 0xE0-0xFC
// is a lead byte and forms one character with the byte after it (a lead byte
// that is the last byte stands alone); every other byte is a character by
// itself. No function here ever splits a double-byte character.
#include <cstddef>
#include <string>
#include <string_view>

namespace tonbo {

// Tolerant number reader used by the numeric sort.
double StrToNumber(std::string_view text);

// The 87 double-byte characters that HankakuAnkStr makes half-width: the
// full-width digits, small and capital letters, 24 signs and the ideographic
// space, in this order.
inline constexpr std::string_view AnkTable =
    "\x82\x4f\x82\x50\x82\x51\x82\x52\x82\x53\x82\x54\x82\x55\x82\x56\x82\x57\x82\x58"  // ０-９
    "\x82\x81\x82\x82\x82\x83\x82\x84\x82\x85\x82\x86\x82\x87\x82\x88\x82\x89\x82\x8a"  // ａ-ｊ
    "\x82\x8b\x82\x8c\x82\x8d\x82\x8e\x82\x8f\x82\x90\x82\x91\x82\x92\x82\x93\x82\x94"  // ｋ-ｔ
    "\x82\x95\x82\x96\x82\x97\x82\x98\x82\x99\x82\x9a"                                  // ｕ-ｚ
    "\x82\x60\x82\x61\x82\x62\x82\x63\x82\x64\x82\x65\x82\x66\x82\x67\x82\x68\x82\x69"  // Ａ-Ｊ
    "\x82\x6a\x82\x6b\x82\x6c\x82\x6d\x82\x6e\x82\x6f\x82\x70\x82\x71\x82\x72\x82\x73"  // Ｋ-Ｔ
    "\x82\x74\x82\x75\x82\x76\x82\x77\x82\x78\x82\x79"                                  // Ｕ-Ｚ
    "\x81\x49\x81\x68\x81\x94\x81\x90\x81\x93\x81\x95\x81\x66\x81\x69\x81\x6a\x81\x81"  // ！”＃＄％＆’（）＝
    "\x81\x7c\x81\x8f\x81\x6d\x81\x6e\x81\x6f\x81\x70\x81\x51\x81\x5e\x81\x84\x81\x83"  // －￥［］｛｝＿／＞＜
    "\x81\x43\x81\x44\x81\x97\x81\x65\x81\x40";  // ，．＠‘　

// Character-class conversions. Each returns a new text of whole characters;
// characters without a counterpart in the code page are left unchanged.

// Letters with case (ASCII, full-width Latin, Greek, Cyrillic) to lower or
// upper case. The byte length never changes.
std::string LowerStr(std::string_view text);
std::string UpperStr(std::string_view text);
// Full-width ASCII forms, the ideographic space, full-width katakana (a voiced
// one becoming the base kana and its mark) and katakana punctuation to half-width.
std::string HankakuStr(std::string_view text);
// Printable ASCII, the space and half-width katakana (joining a kana and its
// voiced or semi-voiced mark) to full-width.
std::string ZenkakuStr(std::string_view text);
// Katakana ァ-ン to hiragana ぁ-ん, and back.
std::string HiraganaStr(std::string_view text);
std::string KatakanaStr(std::string_view text);
// Only the characters of AnkTable to their single-byte forms.
std::string HankakuAnkStr(std::string_view text);

// Searches. Positions are 1-based byte positions; 0 means "not found".
// A match starts and ends on character boundaries of the text.

// First occurrence of sub in text at or after start (below 1 counts as 1; a
// start inside a double-byte character moves on to the next character).
std::ptrdiff_t PosFrom(std::string_view sub, std::string_view text, std::ptrdiff_t start);
// text with the first (all: every) occurrence of oldText replaced by newText;
// the search goes on after the inserted text. An empty oldText changes nothing.
std::string ReplaceStr(std::string_view text, std::string_view oldText, std::string_view newText,
                       bool all);
// As ReplaceStr, finding occurrences with letter case ignored (UpperStr of both).
std::string ReplaceStrI(std::string_view text, std::string_view oldText, std::string_view newText,
                        bool all);
// The part of text before the first separator; text keeps what follows the
// separator, or becomes empty when there is none.
std::string CutToken(std::string_view separator, std::string& text);

}  // namespace tonbo
