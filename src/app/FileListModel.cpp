#include "app/FileListModel.h"

#include <QApplication>
#include <QStyle>

#include "common/Escaped.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/ListText.h"

namespace tonbo {
namespace {

struct ColumnLook {
  const char* caption;
  int width;
  Qt::Alignment alignment;
};

const ColumnLook kColumns[FileListModel::ColumnCount] = {
    {"新しい名前", 90, Qt::AlignLeft}, {"拡張子", 48, Qt::AlignLeft},
    {"更新日", 78, Qt::AlignLeft},     {"ｻｲｽﾞ", 55, Qt::AlignRight},
    {"説明", 90, Qt::AlignLeft},       {"元のファイル名", 130, Qt::AlignLeft},
    {"撮影日時", 78, Qt::AlignLeft},
};

}  // namespace

QString ClashTip(const TCsvDb& table, const RowClash& row) {
  // The run's reason without its brackets: "同じ名前のファイルがあります".
  QString text = WithControlPictures(QString::fromStdString(ClashText(table, row)));
  if (text.startsWith(QStringLiteral("（")) && text.endsWith(QStringLiteral("）")))
    text = text.mid(1, text.size() - 2);
  return text;
}

FileListModel::FileListModel(const TCsvDb& table, const ImageList& images, const TTakenTimes& taken,
                             QObject* parent)
    : QAbstractTableModel(parent), table_(table), images_(images), taken_(taken) {}

void FileListModel::BeginRebuild() { beginResetModel(); }

void FileListModel::EndRebuild(std::vector<int> rowImages) {
  rowImages_ = std::move(rowImages);
  clashes_.clear();
  clashCount_ = 0;
  endResetModel();
}

void FileListModel::RowChanged(int row) {
  if (row >= 0 && row < rowCount()) emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void FileListModel::SetClashes(const ClashCheck& check) {
  const bool had = !clashes_.empty();
  clashes_.clear();
  clashCount_ = check.clashes;
  if (check.clashes > 0) {
    clashes_.resize(rowImages_.size());
    for (const RowClash& r : check.changed)
      if (r.clash != Clash::None && r.row < rowCount()) clashes_[static_cast<size_t>(r.row)] = r;
  }
  if ((had || !clashes_.empty()) && rowCount() > 0)
    Q_EMIT dataChanged(index(0, ColName), index(rowCount() - 1, ColName),
                       {Qt::DecorationRole, Qt::ToolTipRole});
}

const RowClash& FileListModel::ClashOf(int row) const {
  static const RowClash kNone;
  return row >= 0 && static_cast<size_t>(row) < clashes_.size() ? clashes_[static_cast<size_t>(row)]
                                                                : kNone;
}

void FileListModel::TakenRead() {
  if (rowCount() > 0) emit dataChanged(index(0, ColTaken), index(rowCount() - 1, ColTaken));
}

int FileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rowImages_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QString FileListModel::CellText(int row, int column) const {
  switch (column) {
    case ColName:
      return enc::FromSjis(table_.GetCell(colNewName, row));
    case ColExt:
      return enc::FromSjis(table_.GetCell(colExt, row));
    case ColModified:
      return enc::FromSjis(table_.GetCell(colModified, row));
    case ColSize:
      return QString::fromStdString(SizeText(table_.GetCell(colSize, row)));
    case ColType: {
      const std::string type(table_.GetCell(colTypeName, row));
      return enc::FromSjis(type.empty() ? LowerAscii(table_.GetCell(colExt, row)) : type);
    }
    case ColPath:
      return enc::FromSjis(table_.GetCell(colPath, row));
    case ColTaken: {
      const auto date = taken_.Find(table_.GetCell(colPath, row));
      return date ? QString::fromStdString(TTakenTimes::Text(*date)) : QString();
    }
  }
  return {};
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount) return {};
  switch (role) {
    case Qt::DisplayRole:
      return CellText(index.row(), index.column());
    case Qt::ToolTipRole:
      if (index.column() == ColName && ClashOf(index.row()).clash != Clash::None)
        return ClashTip(table_, ClashOf(index.row()));
      return CellText(index.row(), index.column());
    case Qt::DecorationRole:
      if (index.column() != ColName) return {};
      if (ClashOf(index.row()).clash != Clash::None)
        return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
      return images_.At(rowImages_[static_cast<size_t>(index.row())]);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(kColumns[index.column()].alignment | Qt::AlignVCenter);
  }
  return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromUtf8(kColumns[section].caption);
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(kColumns[section].alignment | Qt::AlignVCenter);
  return {};
}

int FileListModel::ColumnWidth(int column) {
  return column >= 0 && column < ColumnCount ? kColumns[column].width : 0;
}

}  // namespace tonbo
