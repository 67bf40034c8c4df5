#pragma once
// The report list's view: the path column keeps both ends of a long path
// (the old file name stays visible), and an empty list says where files go.
#include <QStyledItemDelegate>
#include <QTableView>

namespace tonbo {

class FileListView : public QTableView {
 public:
  explicit FileListView(QWidget* parent = nullptr);

  // The hint an empty list shows.
  static QString EmptyHint();

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// Cuts the middle out of a text too long for its cell ("/home/…/a.jpg").
class MiddleElideDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace tonbo
