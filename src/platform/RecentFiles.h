#pragma once
// The desktop's list of recently used files: the freedesktop bookmark file
// $XDG_DATA_HOME/recently-used.xbel that file managers and file dialogs show
// under "Recent". Best effort: a file that cannot be read or written, or is
// not a bookmark file, is left as it was; nothing the caller does depends on it.
#include <QDateTime>
#include <QString>
#include <string>

namespace tonbo::platform {

// Records diskPath (absolute) as used now by Tonbo: a new bookmark, or the
// existing one's time and Tonbo's count brought up to date, every other
// bookmark and application kept as it was. False when nothing was recorded.
bool AddRecentFile(const std::string& diskPath, const QString& mimeType);

// The same on a given bookmark file and time (tests).
bool AddRecentFileTo(const QString& xbelPath, const std::string& diskPath, const QString& mimeType,
                     const QDateTime& now);

}  // namespace tonbo::platform
