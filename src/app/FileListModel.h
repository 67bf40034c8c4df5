#pragma once
// The report list's picture of the file table. It keeps nothing of its own
// but the row count and each row's image as of the last rebuild; a rebuild
// is a model reset.
#include <QAbstractTableModel>

#include <vector>

#include "app/FileTypes.h"
#include "core/CsvDb.h"
#include "core/TakenTimes.h"

namespace tonbo {

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
};

}  // namespace tonbo
