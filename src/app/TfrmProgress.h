#pragma once
// The progress window of long work (adding a large folder, a rename run):
// the count, the file being handled and "中止(&C)". It shows itself only when
// the work has lasted about half a second, and updates and lets the window
// system in at most every few hundredths of a second, so a run of 100,000
// files pays next to nothing for it. Any command can make one on the stack
// and hand it to the work as its ProgressSink.
#include <QDialog>
#include <QElapsedTimer>

#include <cstdint>
#include <functional>
#include <string>

#include "core/Progress.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tonbo {

class TfrmProgress : public QDialog, public ProgressSink {
  Q_OBJECT
 public:
  // Milliseconds from any fixed point; none: the real clock.
  using Clock = std::function<std::int64_t()>;

  static constexpr std::int64_t kShowAfterMs = 500;
  static constexpr std::int64_t kUpdateEveryMs = 50;

  TfrmProgress(QWidget* parent, const QString& caption, Clock clock = {});

  bool Step(std::int64_t done, std::int64_t total, const std::string& sjisName) override;
  // Hides the window. A Step after it starts a new piece of work: the
  // half-second wait and the stop are fresh.
  void Finish() override;
  // Work that must not stop halfway (an undo checked to move all its files):
  // no "中止(&C)", and Esc and the close box leave it running.
  void SetStoppable(bool stoppable);
  // The user stopped the work (kept after Finish until the next Step).
  bool Cancelled() const { return cancelled_; }

 public slots:
  // Esc and the window's close box stop the work as the button does; the
  // window stays until the work has stopped.
  void reject() override;

 private:
  void Show(std::int64_t done, std::int64_t total, const std::string& sjisName);

  Clock clock_;
  QElapsedTimer elapsed_;
  QLabel* lblCount_;
  QLabel* lblName_;
  QProgressBar* barProgress_;
  QPushButton* btnCancel_;
  std::int64_t started_ = -1;  // -1: no step yet in this piece of work
  std::int64_t shown_ = 0;     // when the window was last brought up to date
  bool cancelled_ = false;
  bool finished_ = false;
  bool stoppable_ = true;
};

}  // namespace tonbo
