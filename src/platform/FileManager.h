#pragma once
// Showing files in the desktop's file manager.
#include <QStringList>

#include <string>

namespace tonbo::platform {

// Calls org.freedesktop.FileManager1.ShowItems on the session bus with the
// URIs; false when there is no bus, no such service or the call failed.
bool ShowItemsOverDBus(const QStringList& uris);

enum class ShownIn { FileManager, Folder, Nothing };

// Shows a file (disk path) in the file manager with the file selected; when no
// file manager answers on the bus, opens the file's folder instead.
ShownIn ShowInFileManager(const std::string& diskPath);

}  // namespace tonbo::platform
