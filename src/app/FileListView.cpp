#include "app/FileListView.h"

#include <QPainter>

namespace tonbo {

FileListView::FileListView(QWidget* parent) : QTableView(parent) {}

QString FileListView::EmptyHint() { return QStringLiteral("ここにファイルやフォルダをドロップ"); }

void FileListView::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  if (model() && model()->rowCount() > 0) return;
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
  painter.drawText(viewport()->rect(), Qt::AlignCenter | Qt::TextWordWrap, EmptyHint());
}

void MiddleElideDelegate::initStyleOption(QStyleOptionViewItem* option,
                                          const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  option->textElideMode = Qt::ElideMiddle;
}

}  // namespace tonbo
