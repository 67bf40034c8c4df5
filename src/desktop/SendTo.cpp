#include "desktop/SendTo.h"

#include <QCollator>
#include <QString>
#include <QStringList>

#include <algorithm>

#include "common/Paths.h"
#include "desktop/ShortcutFiles.h"
#include "platform/Launcher.h"
#include "text/Glob.h"

namespace tonbo::shell {
namespace {

QString FromDisk(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool Start(const std::vector<std::string>& words, const std::string& folder) {
  if (words.empty()) return false;
  QStringList args;
  for (size_t i = 1; i < words.size(); ++i) args << platform::DiskArgument(words[i]);
  platform::Launcher& launcher = platform::CurrentLauncher();
  const QString program = platform::DiskArgument(words[0]);
  return folder.empty() ? launcher.StartDetached(program, args)
                        : launcher.StartIn(program, args, platform::DiskArgument(folder));
}

bool TakesOneFile(const std::string& exec) {
  return (exec.find("%f") != std::string::npos || exec.find("%u") != std::string::npos) &&
         exec.find("%F") == std::string::npos && exec.find("%U") == std::string::npos;
}

SendToResult SendToDesktopEntry(const std::string& entryPath,
                                const std::vector<std::string>& files) {
  auto keys = ReadDesktopEntry(entryPath);
  const std::string exec = keys["Exec"];
  if (keys["Type"] == "Link" && !keys["URL"].empty()) {
    return platform::CurrentLauncher().OpenUrl(
               QUrl::fromEncoded(QByteArray::fromStdString(keys["URL"])))
               ? SendToResult::Started
               : SendToResult::NotStarted;
  }
  if (exec.empty()) return SendToResult::NotRunnable;
  bool ok = true;
  if (TakesOneFile(exec) && files.size() > 1) {
    for (const std::string& file : files)
      ok = Start(ExpandExec(exec, {file}, keys["Name"], entryPath), keys["Path"]) && ok;
  } else {
    ok = Start(ExpandExec(exec, files, keys["Name"], entryPath), keys["Path"]);
  }
  return ok ? SendToResult::Started : SendToResult::NotStarted;
}

}  // namespace

std::vector<SendToEntry> ReadSendToEntries(const std::string& sendToFolder) {
  std::vector<std::string> paths =
      GlobFilesRecursive(IncludeTrailingSlash(sendToFolder)).value_or(std::vector<std::string>{});
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::vector<std::pair<QString, std::string>> keyed;
  keyed.reserve(paths.size());
  for (std::string& p : paths) keyed.emplace_back(FromDisk(p), std::move(p));
  std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
    return collator.compare(a.first, b.first) < 0;
  });
  std::vector<SendToEntry> entries;
  for (auto& [key, path] : keyed) {
    SendToEntry entry{path, ExtractFileBase(path), {}};
    if (IsDesktopEntryName(path)) entry.icon = ReadDesktopEntry(path)["Icon"];
    entries.push_back(std::move(entry));
  }
  return entries;
}

SendToResult SendFilesTo(const std::string& entryPath, const std::vector<std::string>& files) {
  if (IsDesktopEntryName(entryPath)) return SendToDesktopEntry(entryPath, files);
  if (!IsProgramFile(entryPath)) return SendToResult::NotRunnable;
  std::vector<std::string> words{entryPath};
  words.insert(words.end(), files.begin(), files.end());
  return Start(words, std::string()) ? SendToResult::Started : SendToResult::NotStarted;
}

}  // namespace tonbo::shell
