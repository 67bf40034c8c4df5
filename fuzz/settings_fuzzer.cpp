// The settings file's reader fed arbitrary bytes. The input is the file's
// text, then after a NUL byte five "|"-separated names: a section, a key and
// a value to set, and another section and key to watch. It stops on a crash
// or a sanitizer report, on a text that reads differently once written, on
// a value set that does not read back (also after writing and reading the
// file again), and on another key whose value the setting changed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/IniFile.h"

namespace {

std::vector<std::string_view> Split(std::string_view text) {
  std::vector<std::string_view> parts;
  for (size_t start = 0;;) {
    const size_t bar = text.find('|', start);
    parts.push_back(text.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) return parts;
    start = bar + 1;
  }
}

// A name or value the file can hold as it is: one line, no blanks at either
// end (they are trimmed on reading), and for names nothing that would make
// the line read as something else.
bool Holdable(std::string_view s, bool name) {
  if (s.find_first_of("\r\n") != std::string_view::npos) return false;
  if (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.back() == ' ' || s.back() == '\t'))
    return false;
  return !name ||
         (!s.empty() && s.find_first_of("=[]") == std::string_view::npos && s.front() != ';');
}

std::string Folded(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using tonbo::IniText;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t nul = input.find('\0');
  IniText ini(input.substr(0, nul));
  const std::string text = ini.Text();
  if (IniText(text).Text() != text) __builtin_trap();
  int number = 0;
  if (nul == std::string_view::npos) return 0;
  const std::vector<std::string_view> p = Split(input.substr(nul + 1));
  if (p.size() != 5 || !Holdable(p[0], true) || !Holdable(p[1], true) || !Holdable(p[2], false))
    return 0;
  const std::string* found = ini.Find(p[3], p[4]);
  const bool watched = found != nullptr;
  const std::string before = watched ? *found : std::string();
  if (watched) tonbo::ParseIniInteger(before, number);
  const bool same = Folded(p[0]) == Folded(p[3]) && Folded(p[1]) == Folded(p[4]);
  ini.Set(p[0], p[1], p[2]);
  const IniText again(ini.Text());
  for (const IniText* t : {static_cast<const IniText*>(&ini), &again}) {
    const std::string* set = t->Find(p[0], p[1]);
    if (!set || *set != p[2]) __builtin_trap();
    const std::string* other = t->Find(p[3], p[4]);
    if (!same && (other != nullptr) != watched) __builtin_trap();
    if (!same && watched && *other != before) __builtin_trap();
  }
  return 0;
}
