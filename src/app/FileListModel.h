#pragma once
// The report list's picture of the file table. It keeps nothing of its own
// but the row count and each row's image as of the last rebuild; a rebuild
// is a model reset.
#include <QAbstractTableModel>

#include <vector>

#include "app/FileTypes.h"
#include "core/CsvDb.h"
#include "core/RunClashes.h"
#include "core/TakenTimes.h"

namespace tonbo {

// A clash's reason as a tool tip shows it (the run's words, no brackets).
QString ClashTip(const TCsvDb& table, const RowClash& row);

class FileListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { ColName, ColExt, ColModified, ColSize, ColType, ColPath, ColTaken, ColumnCount };

  FileListModel(const TCsvDb& table, const ImageList& images, const TTakenTimes& taken,
                QObject* parent = nullptr);

  void BeginRebuild();
  // rowImages[i] is the image index of item i (-1: none).
  void EndRebuild(std::vector<int> rowImages);
  // One row's cells changed in the table: its item shows them again.
  void RowChanged(int row);
  // The rows a run would not carry out as they stand: a mark in the first
  // column, the reason as its tool tip. Forgotten at the next rebuild.
  void SetClashes(const ClashCheck& check);
  // The row's clash as the last check found it (Clash::None when unmarked).
  const RowClash& ClashOf(int row) const;
  int ClashCount() const { return clashCount_; }
  // More dates taken were read: the column shows them.
  void TakenRead();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  static int ColumnWidth(int column);

 private:
  QString CellText(int row, int column) const;

  const TCsvDb& table_;
  const ImageList& images_;
  const TTakenTimes& taken_;
  std::vector<int> rowImages_;
  std::vector<RowClash> clashes_;  // per row, empty while no row clashes
  int clashCount_ = 0;
};

}  // namespace tonbo
