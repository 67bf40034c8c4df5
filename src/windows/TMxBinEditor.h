#pragma once
// The hexadecimal view of the preview: offset, hex and text columns, 16
// bytes a line, or 8 while 16 do not fit the width (the preview's default
// size among them), so the text column is in view without scrolling. The
// file is mapped, not read: only the lines on screen are touched, so a file
// of gigabytes opens at once and memory stays flat.
#include <QAbstractScrollArea>

#include <cstdint>
#include <string>

#include "preview/HexData.h"

namespace tonbo {

class TMxBinEditor : public QAbstractScrollArea {
  Q_OBJECT
 public:
  static constexpr int kBytesPerLine = 16;
  static constexpr int kNarrowBytesPerLine = 8;
  // Copying everything stops short of this (the clipboard holds text).
  static constexpr uint64_t kMaxCopyBytes = uint64_t{16} << 20;

  explicit TMxBinEditor(QWidget* parent = nullptr);

  // False (the view empty) when the file cannot be opened.
  bool LoadFromFile(const std::string& diskPath);
  uint64_t DataSize() const { return file_.Size(); }

  // 0 ASCII, 1 Shift-JIS, 2 JIS, 3 EUC, 4 UNICODE.
  int CharCode() const { return static_cast<int>(charSet_); }
  void SetCharCode(int code);

  // Selection as [start, end) byte offsets; empty when start == end.
  void SetSelection(uint64_t start, uint64_t end);
  uint64_t SelStart() const { return std::min(anchor_, caret_); }
  uint64_t SelEnd() const { return std::max(anchor_, caret_); }
  void RedrawSelection();
  // The selection (everything when nothing is selected) as hex text on the
  // clipboard. False when it is too large to copy.
  bool CopyToClipboard();
  // The text copied for a range: lines of 16 bytes as "41 42 ...".
  QString HexOf(uint64_t start, uint64_t end) const;

  // One vertical scroll step of `lines` (negative: up).
  void ScrollLines(int lines);
  uint64_t TopLine() const;
  // The line and column rows, as drawn (for tests and the copy).
  QString LineText(uint64_t line) const;
  // Bytes a line as drawn now.
  int BytesPerLine() const { return bytesPerLine_; }
  // The width a line of `bytes` bytes takes, in pixels.
  int LineWidth(int bytes) const;

 signals:
  void mouseReleased();
  void wheelDown();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdateScrollBar();
  int VisibleLines() const;
  int CellWidth() const;
  int LineHeight() const;
  int HexX() const;
  int TextX() const;
  // The byte under a point of the viewport; -1 outside the data.
  int64_t ByteAt(const QPoint& at) const;
  uint64_t LineCount() const;
  // The text column's cells of the line at `at`, read with the bytes around it.
  std::vector<std::string> CellsOf(uint64_t at, const std::vector<uint8_t>& bytes) const;
  int ScrollStep() const;

  preview::MappedFile file_;
  preview::CharSet charSet_ = preview::CharSet::ShiftJis;
  int bytesPerLine_ = kBytesPerLine;
  uint64_t anchor_ = 0;
  uint64_t caret_ = 0;
  bool selecting_ = false;
};

}  // namespace tonbo
