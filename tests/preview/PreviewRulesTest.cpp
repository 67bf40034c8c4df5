#include <gtest/gtest.h>

#include <set>

#include "common/Sjis.h"
#include "preview/PreviewRules.h"

namespace tonbo::preview {
namespace {

TEST(PreviewRulesTest, ViewerFollowsTheLowerCasedExtension) {
  const std::pair<const char*, Viewer> cases[] = {
      {"/d/readme.TXT", Viewer::Text},   {"/d/a.h", Viewer::Text},
      {"/d/page.ht", Viewer::WebPage},   {"/d/photo.jp", Viewer::Image},
      {"/d/p.PNG", Viewer::Image},       {"/d/anim.gif", Viewer::WebPicture},
      {"/d/song.wav", Viewer::Media},    {"/d/song.mp3", Viewer::Description},
      {"/d/noext", Viewer::Description}, {"/d/x.zip", Viewer::Description},
  };
  for (auto [path, viewer] : cases)
    EXPECT_EQ(ChooseViewer(CurrentExtOf(path), false), viewer) << path;
}

TEST(PreviewRulesTest, PlayListModePlaysMediaAndAsksAboutTheRest) {
  EXPECT_EQ(ChooseViewer(".mp3", true), Viewer::PlayList);
  EXPECT_EQ(ChooseViewer(".wav", true), Viewer::PlayList);
  EXPECT_EQ(ChooseViewer(".txt", true), Viewer::NotMedia);
  EXPECT_EQ(ChooseViewer("", true), Viewer::NotMedia);
}

TEST(PreviewRulesTest, TypedNameSplitsAtTheLastDotOfTheNamePart) {
  auto split = [](const char* text) {
    NameParts p = SplitTypedName(text);
    return p.name + "|" + p.ext;
  };
  EXPECT_EQ(split("photo.jpeg"), "photo|.jpeg");
  EXPECT_EQ(split("photo"), "photo|");
  EXPECT_EQ(split("a.b.c"), "a.b|.c");
  // A folder separator after the dot: the whole text is the name.
  EXPECT_EQ(split("a.b/c"), "a.b/c|");
  EXPECT_EQ(split(".hidden"), "|.hidden");
}

// Items whose index is in `marked` carry the delete mark.
int Move(int current, int count, bool forward, std::set<int> marked) {
  return NeighbourItem(current, count, forward, [&](int i) { return marked.count(i) > 0; });
}

TEST(PreviewRulesTest, NextAndPreviousWrapRoundAndStepOverMarkedItems) {
  EXPECT_EQ(Move(4, 5, true, {}), 0);
  EXPECT_EQ(Move(0, 5, false, {}), 4);
  EXPECT_EQ(Move(0, 1, true, {}), 0);
  EXPECT_EQ(Move(1, 5, true, {2, 3}), 4);
  EXPECT_EQ(Move(4, 5, false, {3, 2}), 1);
  // The search gives up at the wrap: item 0 forward, the last item backward.
  EXPECT_EQ(Move(3, 5, true, {4, 0}), 0);
  EXPECT_EQ(Move(1, 5, false, {0, 4}), 4);
  EXPECT_EQ(Move(2, 5, true, {0, 1, 2, 3, 4}), 0);
  EXPECT_EQ(Move(2, 5, false, {0, 1, 2, 3, 4}), 4);
  EXPECT_EQ(Move(0, 0, true, {}), -1);
}

TEST(PreviewRulesTest, CaptionAndDescriptionTexts) {
  EXPECT_EQ(WindowCaption(2, 10, enc::Lit("/d/写真.jpg")), "プレビュー(3/10) 元の名前：写真.jpg");
  EXPECT_EQ(enc::FromSjis(DescriptionText("", "/d/a.TXT")).toStdString(), ".TXT形式のファイル");
  EXPECT_EQ(enc::FromSjis(DescriptionText("", "/d/noext")).toStdString(), "形式のファイル");
  EXPECT_EQ(DescriptionText("Text", "/d/a.TXT"), "Text");
}

TEST(PreviewRulesTest, WebPageCommentsOutScriptsInAnyCase) {
  EXPECT_EQ(WebPageText("/d/", "<p><script>x()</script><SCRIPT src=a></Script>"),
            "<BASE href=\"/d/\"><p><!--SCRIPT>x()</SCRIPT-->"
            "<!--SCRIPT src=a></SCRIPT-->");
  EXPECT_EQ(WebPageText("/d/", ""), "<BASE href=\"/d/\">");
  EXPECT_EQ(WebPicturePage("/d/a.gif"), "<HTML><BODY><IMG src=\"/d/a.gif\"></BODY></HTML>");
}

}  // namespace
}  // namespace tonbo::preview
