#pragma once
// Icons and type descriptions of listed files, from the MIME database and
// the icon theme (the desktop's own answer to "what kind of file is this").
#include <QIcon>
#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace tonbo {

struct FileTypeInfo {
  QIcon icon;
  std::optional<QString> typeName;  // none when the type is unknown
};

// Where icons and descriptions come from; tests count the calls.
class FileTypeSource {
 public:
  virtual ~FileTypeSource() = default;
  virtual FileTypeInfo Fetch(const std::string& diskPath) = 0;
};

// The MIME type of the file (by name, then contents), its icon from the
// theme, and its comment in the user's language.
class MimeFileTypeSource : public FileTypeSource {
 public:
  FileTypeInfo Fetch(const std::string& diskPath) override;
};

// The list's small images. It only grows, so stored indexes stay valid.
class ImageList {
 public:
  int Add(const QIcon& icon);
  QIcon At(int index) const;
  int Count() const { return static_cast<int>(icons_.size()); }

 private:
  std::vector<QIcon> icons_;
};

// A plain document icon drawn by the program, for files the theme has nothing for.
QIcon FallbackFileIcon();
// Points the icon theme at Adwaita explicitly: offscreen and bare X11 sessions have none.
void SetUpIconTheme();

}  // namespace tonbo
