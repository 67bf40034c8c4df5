#include "core/ListLoad.h"

#include <sys/stat.h>

#include <QStringDecoder>

#include "common/Errors.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "common/TextFile.h"
#include "platform/FileOps.h"

namespace tonbo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool HasNonAscii(std::string_view bytes) {
  for (const char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

bool IsValidUtf8(std::string_view bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder.decode(QByteArrayView(bytes.data(), bytes.size()));
  return !decoder.hasError();
}

// The saved new name stands for a file in the same folder only; a name that
// would lead elsewhere ("../x", "a/b") is not looked for.
bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

[[noreturn]] void FailRead(const std::string& diskPath, int err) {
  const QString shown = QString::fromUtf8(diskPath.data(), static_cast<qsizetype>(diskPath.size()));
  throw EInOutError("リストのファイルを読み込めません。\n" + shown.toStdString() + "\n" +
                        platform::ErrorText(err),
                    err);
}

}  // namespace

bool IsListedFile(const std::string& sjisPath) {
  if (sjisPath.empty() || sjisPath[0] != '/' || sjisPath.find('\0') != std::string::npos)
    return false;
  const std::string disk = enc::SjisToDisk(sjisPath);
  struct stat st {};
  if (lstat(disk.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return false;
  // A link to a folder would bring the whole folder in.
  struct stat target {};
  return !(S_ISLNK(st.st_mode) && stat(disk.c_str(), &target) == 0 && S_ISDIR(target.st_mode));
}

ListedFiles CollectListedFiles(const TCsvDb& list) {
  ListedFiles out;
  const std::string notFound = enc::Lit("ファイルが見つかりません。：");
  for (int row = 0; row < list.RowCount(); ++row) {
    const std::string& path = list.GetCell(colPath, row);
    if (IsListedFile(path)) {
      out.paths.push_back(path);
      continue;
    }
    const std::string& newName = list.GetCell(colNewName, row);
    const std::string renamed = ExtractFilePath(path) + newName;
    if (IsPlainName(newName) && IsListedFile(renamed)) {
      out.paths.push_back(renamed);
      continue;
    }
    out.log += notFound + renamed + "\r\n";
    out.missing.push_back(renamed);
  }
  return out;
}

std::string ListFileText(std::string_view bytes) {
  const bool marked = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
  if (marked) bytes.remove_prefix(kByteOrderMark.size());
  if (!marked && (!HasNonAscii(bytes) || !IsValidUtf8(bytes))) return std::string(bytes);
  std::string sjis;
  enc::DiskToSjis(bytes, sjis);
  return sjis;
}

ListedFiles ReadListFile(const std::string& diskPath) {
  std::string bytes;
  int err = 0;
  if (!ReadWholeFile(diskPath, bytes, &err)) FailRead(diskPath, err);
  TCsvDb list;
  list.LoadFromText(ListFileText(bytes));
  return CollectListedFiles(list);
}

}  // namespace tonbo
