#pragma once
// The preview dialog's rules that need no window: which viewer a file gets,
// how a typed name splits into name and extension, where Next and Previous
// land, and the web preview pages. Texts are code page 932 unless noted.
#include <functional>
#include <string>
#include <string_view>

#include "common/FileRead.h"

namespace tonbo::preview {

enum class Viewer { Text, Image, WebPage, WebPicture, Description, Media, PlayList, NotMedia };

// Extension lists: an extension belongs to a list when it occurs anywhere in
// the list's text, so ".jp" belongs to the pictures through ".jpg".
extern const char* const kTextList;
extern const char* const kImageList;
extern const char* const kWebPageList;
extern const char* const kWebPictureList;
extern const char* const kMediaList;
extern const char* const kPlayListMediaList;

// Empty never belongs.
bool InList(std::string_view list, std::string_view lowerExt);

// The lower-cased extension (A-Z only) of a path's name part, dot included.
std::string CurrentExtOf(std::string_view path);

// The viewer for a file (lowerExt as CurrentExtOf gives it). In play list
// mode a file is either played or answered with the not-media question.
Viewer ChooseViewer(std::string_view lowerExt, bool playList);

// A name typed into the name box, as the row takes it.
struct NameParts {
  std::string name;
  std::string ext;  // with its dot; empty when the text has none
};
NameParts SplitTypedName(std::string_view text);

// The item Next (forward) or Previous lands on from `current`: the list wraps
// round, and items whose caption is exactly the delete mark are stepped over,
// except that the search gives up at the wrap and takes item 0 (forward) or
// the last item (backward).
int NeighbourItem(int current, int count, bool forward,
                  const std::function<bool(int item)>& isMarked);

// "プレビュー(3/10) 元の名前：a.txt" (UTF-8).
std::string WindowCaption(int index, int rowCount, std::string_view sjisPath);
// The description shown for a file without a viewer: the type, else the
// extension as written followed by "形式のファイル".
std::string DescriptionText(std::string_view sjisDescription, std::string_view sjisPath);

// What the preview shows instead of reading a path that is not a regular
// file (a FIFO, a socket, a device, a folder); empty for a file, or when
// nothing is there.
std::string NotAFileText(FileKind kind);

// The page written for an HTML file: the base line, then the text with
// every script opened and closed as a comment (letter case ignored).
std::string WebPageText(std::string_view sjisFolder, std::string_view sjisHtml);
// The page that shows a GIF picture.
std::string WebPicturePage(std::string_view sjisPath);

}  // namespace tonbo::preview
