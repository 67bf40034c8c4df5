#include "core/BatchWriter.h"

#include <sys/stat.h>

#include <cerrno>

#include "common/Escaped.h"
#include "common/Sjis.h"
#include "common/TextFile.h"

namespace tonbo {

namespace {

// Why a text cannot stand between the double quotes of a line; null when it
// can. Neither a control nor a double quote is ever the second byte of a
// double-byte character.
const char* UnquotableReason(std::string_view sjis) {
  for (const char c : sjis)
    if (static_cast<unsigned char>(c) < 0x20) return "（名前に改行などの制御文字があります）";
  if (sjis.find('"') != std::string_view::npos) return "（名前に「\"」があります）";
  return nullptr;
}

}  // namespace

BatchFile BatchText(const TCsvDb& table) {
  BatchFile out;
  out.text = enc::Lit("; Tonbo自動生成バッチファイル") + "\r\n";
  for (int row = 0; row < table.RowCount(); ++row) {
    const std::string path(table.GetCell(colPath, row));
    const bool marked = table.MarkedForDeletion(row);
    const std::string newName =
        marked ? std::string()
               : std::string(table.GetCell(colNewName, row)).append(table.GetCell(colExt, row));
    const char* reason = UnquotableReason(path);
    if (!reason) reason = UnquotableReason(newName);
    if (reason) {
      out.log += enc::Lit("バッチファイルに書きませんでした：\"") + EscapedSjis(path) + "\"" +
                 enc::Lit(reason) + "\r\n";
      ++out.left;
    } else if (marked) {
      out.text += "del \"" + path + "\"\r\n";
    } else {
      out.text += "ren \"" + path + "\" \"" + newName + "\"\r\n";
    }
  }
  return out;
}

int WriteWholeFile(const std::string& diskPath, const std::string& text, bool executable) {
  int err = 0;
  if (!WriteFileAtomic(diskPath, text, &err)) return err != 0 ? err : EIO;
  struct stat st {};
  if (executable && stat(diskPath.c_str(), &st) == 0) {
    const mode_t mode = st.st_mode & 07777;
    if (chmod(diskPath.c_str(), mode | ((mode & 0444) >> 2)) != 0) return errno;
  }
  return 0;
}

}  // namespace tonbo
