#pragma once
// The main window and the media device as the preview dialog's tests see them.
#include <QStringList>

#include <string>
#include <vector>

#include "common/Sjis.h"
#include "preview/MediaDevice.h"
#include "windows/PreviewHost.h"

namespace tonbo::test {

class FakePreviewHost : public PreviewHost {
 public:
  TCsvDb table;
  int selected = -1;
  bool extNotChange = false;
  bool playList = false;
  QStringList log;  // "changed 2", "select 3", "sound 0", "explain preview 0"

  // Rows for files on disk: name and extension split at the last dot.
  void AddFile(const std::string& diskPath, const std::string& type = "") {
    const int r = table.RowCount();
    std::string sjis;
    enc::DiskToSjis(diskPath, sjis);
    const size_t slash = sjis.rfind('/');
    const size_t dot = sjis.rfind('.');
    const bool hasExt = dot != std::string::npos && dot > slash;
    table.SetCell(colNewName, r,
                  sjis.substr(slash + 1, hasExt ? dot - slash - 1 : std::string::npos));
    table.SetCell(colExt, r, hasExt ? sjis.substr(dot) : std::string());
    table.SetCell(colTypeName, r, enc::Lit(type));
    table.SetCell(colPath, r, sjis);
  }
  std::string Row(int r) const {
    return (enc::FromSjis(table.GetCell(colNewName, r)) + "|" +
            enc::FromSjis(table.GetCell(colExt, r)))
        .toStdString();
  }

  TCsvDb& Table() override { return table; }
  int ItemCount() const override { return table.RowCount(); }
  int SelectedIndex() const override { return selected; }
  void SetSelectedIndex(int item) override {
    selected = item;
    log << QStringLiteral("select %1").arg(item);
  }
  void ItemChanged(int item) override { log << QStringLiteral("changed %1").arg(item); }
  bool ExtNotChange() const override { return extNotChange; }
  bool PlayListChecked() const override { return playList; }
  void SetPlayListChecked(bool on) override { playList = on; }
  void PlayEffectSound(int kind) override { log << QStringLiteral("sound %1").arg(kind); }
  bool ShowExplanation(const QString& key, bool showOmit) override {
    log << QStringLiteral("explain %1 %2").arg(key).arg(showOmit ? 1 : 0);
    return true;
  }
};

// Records the calls; plays instantly to the end when the test says so.
class FakeMediaDevice : public preview::MediaDevice {
 public:
  QStringList calls;
  std::string file;
  preview::MediaMode mode = preview::MediaMode::NotReady;
  int64_t length = 5000;
  int64_t position = 0;
  bool openFails = false;

  void SetFileName(const std::string& diskPath) override { file = diskPath; }
  void Open() override {
    calls << "open";
    mode = openFails ? preview::MediaMode::NotReady : preview::MediaMode::Stopped;
  }
  void Close() override {
    calls << "close";
    mode = preview::MediaMode::NotReady;
  }
  void Play() override {
    calls << "play";
    if (mode != preview::MediaMode::NotReady) mode = preview::MediaMode::Playing;
  }
  void Stop() override {
    calls << "stop";
    if (mode == preview::MediaMode::Playing) mode = preview::MediaMode::Stopped;
  }
  void Seek(int64_t at) override {
    calls << QStringLiteral("seek %1").arg(at);
    position = at;
  }
  int64_t Length() const override { return length; }
  int64_t Position() const override { return position; }
  preview::MediaMode Mode() const override { return mode; }
  void ReachEnd() {
    position = length;
    mode = preview::MediaMode::Stopped;
    if (onNotify) onNotify();
  }
};

}  // namespace tonbo::test
