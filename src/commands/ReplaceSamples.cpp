#include "commands/ReplaceSamples.h"

#include <QUtf8StringView>

#include <string_view>

#include "commands/TextLines.h"
#include "common/Sjis.h"
#include "common/TextFile.h"
#include "text/StrUnit.h"

namespace tonbo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Spaces and control characters: every byte up to " ". Such a byte is never
// the lead byte of a double-byte character, and a trail byte is never below
// 0x40, so trimming whole bytes keeps characters whole.
std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::string InsideText(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    bytes.remove_prefix(kByteOrderMark.size());
  if (!QUtf8StringView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8())
    return std::string(bytes);
  std::string sjis;
  enc::DiskToSjis(bytes, sjis);
  return sjis;
}

}  // namespace

std::string ReplaceSamplePath(const std::string& programDirDisk) {
  return programDirDisk + "tools/re_sample.txt";
}

bool LoadReplaceSamples(const std::string& diskPath, std::vector<std::string>& lines) {
  std::string bytes;
  if (!ReadWholeFile(diskPath, bytes)) return false;
  lines = SplitLines(InsideText(bytes));
  return true;
}

std::string SampleCommand(std::string line) {
  CutToken(",", line);
  return std::string(Trimmed(line));
}

}  // namespace tonbo
