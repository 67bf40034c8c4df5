#include "commands/Recipe.h"

#include <gtest/gtest.h>

namespace tonbo {
namespace {

// Every hostile word comes back from the file as it went in, on one line.
TEST(Recipe, WordsSurviveTheFileAndStayOnTheirLine) {
  const std::vector<RecipeWords> steps = {
      {"--replace", "it's \"quoted\" $HOME `x` \\n", ""},
      {"--names", "a\nb.txt", "tab\there\r.txt", "#not a comment", "\xE9\x82\x8A\xFF.jpg"},
      {"--prepend", "  two  spaces "}};
  const std::string text = RecipeText(steps);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
  const TRecipe read = ParseRecipe(text);
  ASSERT_EQ(read.lines.size(), 3u);
  for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(read.lines[i].words, steps[i]);
  EXPECT_EQ(read.lines[2].number, 4);
}

// A list step runs only where every chosen name is one it recorded; the
// table it was given stays as it was.
TEST(Recipe, AListStepRefusesOtherNames) {
  TCsvDb table;
  for (int r = 0; r < 2; ++r) {
    table.SetCell(colNewName, r, r == 0 ? "a" : "c");
    table.SetCell(colExt, r, ".txt");
  }
  TIniFileEx settings("");
  const TRecipe recipe = ParseRecipe("tonbo-recipe 1\n\n--names a.txt b.txt\n");
  const RecipeRun run = RunRecipe(table, {0}, recipe, settings, {});
  EXPECT_EQ(run.steps.at(0).table.GetCell(colNewName, 0), "b");
  try {
    RunRecipe(table, {0, 1}, recipe, settings, {});
    FAIL() << "ran on a name it did not record";
  } catch (const ERecipeError& e) {
    EXPECT_STREQ(e.what(),
                 "3行目：「c.txt」はこの手順を記録した名前にありません。一括変更の手順は、"
                 "記録したときと同じ名前のファイルにだけ使えます。");
  }
  EXPECT_EQ(table.GetCell(colNewName, 0), "a");
}

}  // namespace
}  // namespace tonbo
