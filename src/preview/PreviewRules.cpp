#include "preview/PreviewRules.h"

#include "common/Paths.h"
#include "common/Sjis.h"
#include "text/StrUnit.h"

namespace tonbo::preview {

const char* const kTextList = ".txt;.vbs;.js;.css;.pas;.dpr;.bat;.ini;.h;.c;.cpp;.hmw;.log;.java";
const char* const kImageList = ".jpg;.jpeg;.bmp;.ico;.png";
const char* const kWebPageList = ".htm;.html";
const char* const kWebPictureList = ".gif";
const char* const kMediaList = ".mid;.wav;.mpeg;.mpg;.avi;.wma;.cda;";
const char* const kPlayListMediaList = ".mid;.wav;.mpeg;.mpg;.avi;.wma;.cda;.mp3";

bool InList(std::string_view list, std::string_view lowerExt) {
  return !lowerExt.empty() && list.find(lowerExt) != std::string_view::npos;
}

std::string CurrentExtOf(std::string_view path) { return LowerAscii(ExtractFileExt(path)); }

Viewer ChooseViewer(std::string_view lowerExt, bool playList) {
  if (playList) return InList(kPlayListMediaList, lowerExt) ? Viewer::PlayList : Viewer::NotMedia;
  if (InList(kTextList, lowerExt)) return Viewer::Text;
  if (InList(kImageList, lowerExt)) return Viewer::Image;
  if (InList(kWebPageList, lowerExt)) return Viewer::WebPage;
  if (InList(kWebPictureList, lowerExt)) return Viewer::WebPicture;
  if (!InList(kMediaList, lowerExt)) return Viewer::Description;
  return Viewer::Media;
}

NameParts SplitTypedName(std::string_view text) {
  std::string ext = ExtractFileExt(text);
  return {std::string(text.substr(0, text.size() - ext.size())), ext};
}

int NeighbourItem(int current, int count, bool forward,
                  const std::function<bool(int item)>& isMarked) {
  if (count <= 0) return -1;
  if (forward) {
    int j = current + 1 < count ? current + 1 : 0;
    while (isMarked(j)) {
      if (++j >= count) return 0;
    }
    return j;
  }
  int j = current - 1 >= 0 ? current - 1 : count - 1;
  while (isMarked(j)) {
    if (--j < 0) return count - 1;
  }
  return j;
}

std::string WindowCaption(int index, int rowCount, std::string_view sjisPath) {
  return "プレビュー(" + std::to_string(index + 1) + "/" + std::to_string(rowCount) +
         ") 元の名前：" + enc::FromSjis(ExtractFileName(sjisPath)).toStdString();
}

std::string DescriptionText(std::string_view sjisDescription, std::string_view sjisPath) {
  if (!sjisDescription.empty()) return std::string(sjisDescription);
  return ExtractFileExt(sjisPath) + enc::Lit("形式のファイル");
}

std::string NotAFileText(FileKind kind) {
  const char* what = nullptr;
  switch (kind) {
    case FileKind::Missing:
    case FileKind::Regular:
      return {};
    case FileKind::Folder:
      what = "フォルダ";
      break;
    case FileKind::Pipe:
      what = "名前付きパイプ（FIFO）";
      break;
    case FileKind::Socket:
      what = "ソケット";
      break;
    case FileKind::Device:
      what = "デバイス";
      break;
    case FileKind::Other:
      what = "特殊なファイル";
      break;
  }
  return enc::Lit(what) + enc::Lit("のため、内容は表示しません。");
}

std::string WebPageText(std::string_view sjisFolder, std::string_view sjisHtml) {
  std::string text = ReplaceStrI(sjisHtml, "<SCRIPT", "<!--SCRIPT", true);
  text = ReplaceStrI(text, "/SCRIPT>", "/SCRIPT-->", true);
  return "<BASE href=\"" + std::string(sjisFolder) + "\">" + text;
}

std::string WebPicturePage(std::string_view sjisPath) {
  return "<HTML><BODY><IMG src=\"" + std::string(sjisPath) + "\"></BODY></HTML>";
}

}  // namespace tonbo::preview
