// The list reader fed arbitrary bytes as a list file. It stops on a crash or
// a sanitizer report, on a path added that names no file entry, on a log
// that is not one line per row not found, and on a list the program would
// write that passes for UTF-8 or begins like one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/Sjis.h"
#include "common/Utf8.h"
#include "core/ListLoad.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tonbo;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ListedFiles read = ReadListBytes(bytes);
  for (const std::string& path : read.paths)
    if (!IsListedFile(path)) __builtin_trap();
  std::string log;
  for (const std::string& tried : read.missing)
    log += enc::Lit("ファイルが見つかりません。：") + tried + "\r\n";
  if (log != read.log) __builtin_trap();

  TCsvDb table;
  table.LoadFromText(ListFileText(bytes));
  const std::string saved = ListFileBytes(table);
  if (ListFileText(saved) != saved) __builtin_trap();
  const bool beyondAscii = std::any_of(
      saved.begin(), saved.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (beyondAscii && enc::IsUtf8(saved, false)) __builtin_trap();
  return 0;
}
