#pragma once
// A Launcher that records what would be started, installed for one scope.
#include <QString>
#include <QStringList>
#include <QUrl>

#include <vector>

#include "platform/Launcher.h"

namespace tonbo::test {

class RecordingLauncher : public platform::Launcher {
 public:
  struct Start {
    QString program;
    QStringList arguments;
  };

  RecordingLauncher() { platform::SetLauncher(this); }
  ~RecordingLauncher() override { platform::SetLauncher(nullptr); }

  bool OpenUrl(const QUrl& url) override {
    opened.push_back(url);
    return answer;
  }
  bool StartDetached(const QString& program, const QStringList& arguments) override {
    started.push_back({program, arguments});
    return answer;
  }

  bool answer = true;  // what the "desktop" reports
  std::vector<QUrl> opened;
  std::vector<Start> started;
};

}  // namespace tonbo::test
