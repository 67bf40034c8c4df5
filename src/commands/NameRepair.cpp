#include "commands/NameRepair.h"

#include "common/Sjis.h"
#include "text/NameEncoding.h"

namespace tonbo {
namespace {

// The row's name parts on disk: the new name, and the extension when it may change.
struct Parts {
  std::string name, ext;
};

Parts DiskParts(const TCsvDb& table, int row, bool alsoExt) {
  return {enc::SjisToDisk(table.GetCell(colNewName, row)),
          alsoExt ? enc::SjisToDisk(table.GetCell(colExt, row)) : std::string()};
}

// Writes the parts back; true when the row changed.
bool Store(TCsvDb& table, int row, bool alsoExt, const Parts& before, const Parts& after) {
  if (after.name == before.name && after.ext == before.ext) return false;
  std::string sjis;
  enc::DiskToSjis(after.name, sjis);
  table.SetCell(colNewName, row, sjis);
  if (alsoExt) {
    enc::DiskToSjis(after.ext, sjis);
    table.SetCell(colExt, row, sjis);
  }
  return true;
}

}  // namespace

int FixGarbledNames(TCsvDb& table, const std::vector<int>& rows, bool alsoExt) {
  int changed = 0;
  for (int row : rows) {
    const Parts before = DiskParts(table, row, alsoExt);
    // One reading for the whole name: the dot between the parts is ASCII in
    // every one of them, so each part converts on its own.
    const Garbling how = DetectGarbling(before.name + before.ext);
    if (how == Garbling::None) continue;
    const auto name = Ungarble(how, before.name), ext = Ungarble(how, before.ext);
    if (name && ext && Store(table, row, alsoExt, before, {*name, *ext})) ++changed;
  }
  return changed;
}

int ComposeNames(TCsvDb& table, const std::vector<int>& rows, bool alsoExt) {
  int changed = 0;
  for (int row : rows) {
    const Parts before = DiskParts(table, row, alsoExt);
    const Parts after{ComposedName(before.name), ComposedName(before.ext)};
    if (Store(table, row, alsoExt, before, after)) ++changed;
  }
  return changed;
}

std::string FixedNamesText(int changed) {
  if (changed == 0) return "文字化けしたファイル名はありませんでした。";
  return std::to_string(changed) + "個のファイル名の文字化けを直しました。";
}

std::string ComposedNamesText(int changed) {
  if (changed == 0) return "結合する濁点のあるファイル名はありませんでした。";
  return std::to_string(changed) + "個のファイル名の濁点を結合しました。";
}

}  // namespace tonbo
