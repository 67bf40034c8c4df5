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
    QString folder;  // working folder, empty when not given
  };

  RecordingLauncher() { platform::SetLauncher(this); }
  ~RecordingLauncher() override { platform::SetLauncher(nullptr); }

  bool OpenUrl(const QUrl& url) override {
    opened.push_back(url);
    return answer;
  }
  bool StartDetached(const QString& program, const QStringList& arguments) override {
    started.push_back({program, arguments, QString()});
    return answer;
  }
  bool StartIn(const QString& program, const QStringList& arguments,
               const QString& workingFolder) override {
    started.push_back({program, arguments, workingFolder});
    return answer;
  }
  bool ShowItems(const QStringList& uris) override {
    shownItems.push_back(uris);
    return fileManager;
  }

  bool answer = true;        // what the "desktop" reports
  bool fileManager = false;  // whether a file manager answers on the bus
  std::vector<QStringList> shownItems;
  std::vector<QUrl> opened;
  std::vector<Start> started;
};

}  // namespace tonbo::test
