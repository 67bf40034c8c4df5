#include "windows/TMxBinEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <climits>

namespace tonbo {

TMxBinEditor::TMxBinEditor(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName(QStringLiteral("binEdit"));
  QFont mono(QStringLiteral("Noto Sans Mono CJK JP"));
  mono.setStyleHint(QFont::Monospace);
  mono.setFixedPitch(true);
  setFont(mono);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setCursor(Qt::IBeamCursor);
}

bool TMxBinEditor::LoadFromFile(const std::string& diskPath) {
  anchor_ = caret_ = 0;
  const bool ok = file_.Open(diskPath);
  UpdateScrollBar();
  verticalScrollBar()->setValue(0);
  viewport()->update();
  return ok;
}

void TMxBinEditor::SetCharCode(int code) {
  if (code < 0 || code > 4) return;
  charSet_ = static_cast<preview::CharSet>(code);
  viewport()->update();
}

void TMxBinEditor::SetSelection(uint64_t start, uint64_t end) {
  anchor_ = std::min(start, file_.Size());
  caret_ = std::min(end, file_.Size());
  viewport()->update();
}

void TMxBinEditor::RedrawSelection() {
  if (SelStart() != SelEnd()) viewport()->update();
}

QString TMxBinEditor::HexOf(uint64_t start, uint64_t end) const {
  QStringList lines;
  for (uint64_t at = start; at < end; at += kBytesPerLine) {
    const size_t count = static_cast<size_t>(std::min<uint64_t>(kBytesPerLine, end - at));
    lines << QString::fromStdString(preview::HexText(file_.Read(at, count)));
  }
  return lines.join(QLatin1Char('\n'));
}

bool TMxBinEditor::CopyToClipboard() {
  uint64_t start = SelStart(), end = SelEnd();
  if (start == end) start = 0, end = file_.Size();
  if (end - start > kMaxCopyBytes) return false;
  QApplication::clipboard()->setText(HexOf(start, end));
  return true;
}

uint64_t TMxBinEditor::LineCount() const {
  return file_.Size() / static_cast<uint64_t>(bytesPerLine_) + 1;
}

// Lines per scroll-bar unit: 1 up to files of 32 GiB.
int TMxBinEditor::ScrollStep() const { return static_cast<int>(LineCount() / INT_MAX + 1); }

uint64_t TMxBinEditor::TopLine() const {
  return static_cast<uint64_t>(verticalScrollBar()->value()) * static_cast<uint64_t>(ScrollStep());
}

void TMxBinEditor::ScrollLines(int lines) {
  verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
}

int TMxBinEditor::CellWidth() const { return std::max(1, fontMetrics().horizontalAdvance('0')); }
int TMxBinEditor::LineHeight() const { return fontMetrics().height(); }
int TMxBinEditor::HexX() const { return CellWidth() * 10; }
int TMxBinEditor::TextX() const { return HexX() + CellWidth() * (bytesPerLine_ * 3 + 1); }
int TMxBinEditor::VisibleLines() const { return viewport()->height() / LineHeight() + 1; }

// The text column ends with room for a double-byte character split by the
// line end.
int TMxBinEditor::LineWidth(int bytes) const { return CellWidth() * (10 + bytes * 4 + 3); }

void TMxBinEditor::UpdateScrollBar() {
  const int fitting =
      LineWidth(kBytesPerLine) <= viewport()->width() ? kBytesPerLine : kNarrowBytesPerLine;
  if (fitting != bytesPerLine_) {
    // The byte at the top stays in view.
    const uint64_t top = TopLine() * static_cast<uint64_t>(bytesPerLine_);
    bytesPerLine_ = fitting;
    verticalScrollBar()->setMaximum(INT_MAX);
    verticalScrollBar()->setValue(static_cast<int>(std::min<uint64_t>(
        top / static_cast<uint64_t>(fitting) / static_cast<uint64_t>(ScrollStep()), INT_MAX)));
  }
  const uint64_t units = LineCount() / static_cast<uint64_t>(ScrollStep());
  const int page = std::max(1, VisibleLines() - 1);
  verticalScrollBar()->setRange(0, static_cast<int>(std::min<uint64_t>(units, INT_MAX)));
  verticalScrollBar()->setPageStep(page);
  verticalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setRange(0, std::max(0, LineWidth(bytesPerLine_) - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

std::vector<std::string> TMxBinEditor::CellsOf(uint64_t at,
                                               const std::vector<uint8_t>& bytes) const {
  const uint64_t before = std::min<uint64_t>(at, kBytesPerLine);
  return preview::TextCells(file_.Read(at - before, static_cast<size_t>(before)), bytes, charSet_,
                            file_.Read(at + bytes.size(), 1));
}

QString TMxBinEditor::LineText(uint64_t line) const {
  const uint64_t at = line * static_cast<uint64_t>(bytesPerLine_);
  const std::vector<uint8_t> bytes = file_.Read(at, static_cast<size_t>(bytesPerLine_));
  if (bytes.empty()) return {};
  const std::vector<std::string> cells = CellsOf(at, bytes);
  std::string text;
  for (const std::string& cell : cells) text += cell;
  return QString::fromStdString(preview::OffsetText(at) + "  " + preview::HexText(bytes) + "  ") +
         QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void TMxBinEditor::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().base());
  painter.translate(-horizontalScrollBar()->value(), 0);
  const int cw = CellWidth(), lh = LineHeight(), ascent = fontMetrics().ascent();
  const uint64_t top = TopLine();
  for (int row = 0; row < VisibleLines(); ++row) {
    const uint64_t at = (top + static_cast<uint64_t>(row)) * static_cast<uint64_t>(bytesPerLine_);
    const std::vector<uint8_t> bytes = file_.Read(at, static_cast<size_t>(bytesPerLine_));
    if (bytes.empty()) break;
    const int y = row * lh;
    const std::vector<std::string> cells = CellsOf(at, bytes);
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(0, y + ascent, QString::fromStdString(preview::OffsetText(at)));
    for (size_t i = 0; i < bytes.size(); ++i) {
      const uint64_t offset = at + i;
      const bool selected = offset >= SelStart() && offset < SelEnd();
      const int hx = HexX() + static_cast<int>(i) * cw * 3, tx = TextX() + static_cast<int>(i) * cw;
      if (selected) {
        painter.fillRect(hx, y, cw * 2, lh, palette().highlight());
        painter.fillRect(tx, y, cw, lh, palette().highlight());
      }
      painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
      painter.drawText(hx, y + ascent, QString::fromStdString(preview::HexText({bytes[i]})));
      painter.drawText(tx, y + ascent, QString::fromUtf8(cells[i].c_str()));
    }
  }
}

void TMxBinEditor::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBar();
}

void TMxBinEditor::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    UpdateScrollBar();
    viewport()->update();
  }
}

int64_t TMxBinEditor::ByteAt(const QPoint& at) const {
  const int x = at.x() + horizontalScrollBar()->value();
  const int cw = CellWidth();
  int column = -1;
  if (x >= HexX() && x < TextX() - cw) column = (x - HexX()) / (cw * 3);
  if (x >= TextX() && x < TextX() + cw * bytesPerLine_) column = (x - TextX()) / cw;
  if (column < 0 || column >= bytesPerLine_) return -1;
  const uint64_t line = TopLine() + static_cast<uint64_t>(std::max(0, at.y()) / LineHeight());
  const uint64_t offset =
      line * static_cast<uint64_t>(bytesPerLine_) + static_cast<uint64_t>(column);
  return offset < file_.Size() ? static_cast<int64_t>(offset) : -1;
}

void TMxBinEditor::mousePressEvent(QMouseEvent* event) {
  const int64_t at = ByteAt(event->position().toPoint());
  if (at < 0 || event->button() != Qt::LeftButton) return;
  // A click places the start; dragging or Shift+click selects up to the byte.
  const auto byte = static_cast<uint64_t>(at);
  if (event->modifiers() & Qt::ShiftModifier)
    caret_ = byte >= anchor_ ? byte + 1 : byte;
  else
    anchor_ = caret_ = byte;
  selecting_ = true;
  viewport()->update();
}

void TMxBinEditor::mouseMoveEvent(QMouseEvent* event) {
  if (!selecting_) return;
  const int64_t at = ByteAt(event->position().toPoint());
  if (at < 0) return;
  caret_ = static_cast<uint64_t>(at) >= anchor_ ? static_cast<uint64_t>(at) + 1
                                                : static_cast<uint64_t>(at);
  viewport()->update();
}

void TMxBinEditor::mouseReleaseEvent(QMouseEvent* event) {
  selecting_ = false;
  QAbstractScrollArea::mouseReleaseEvent(event);
  emit mouseReleased();
}

void TMxBinEditor::wheelEvent(QWheelEvent* event) {
  QAbstractScrollArea::wheelEvent(event);
  if (event->angleDelta().y() < 0) emit wheelDown();
}

}  // namespace tonbo
