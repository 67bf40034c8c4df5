#include "core/BatchWriter.h"

#include <sys/stat.h>

#include <cerrno>

#include "common/Sjis.h"
#include "common/TextFile.h"

namespace tonbo {

std::string BatchText(const TCsvDb& table) {
  std::string text = enc::Lit("; Tonbo自動生成バッチファイル") + "\r\n";
  for (int row = 0; row < table.RowCount(); ++row) {
    const std::string path(table.GetCell(colPath, row));
    const std::string base(table.GetCell(colNewName, row));
    if (base == DeleteMark())
      text += "del \"" + path + "\"\r\n";
    else
      text.append("ren \"")
          .append(path)
          .append("\" \"")
          .append(base)
          .append(table.GetCell(colExt, row))
          .append("\"\r\n");
  }
  return text;
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
