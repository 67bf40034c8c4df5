// --recipe and --save-recipe on real folders.
#include <algorithm>

#include "CliHarness.h"
#include "cli/CliOptions.h"

namespace tonbo::test {
namespace {

class CliRecipe : public CliFolder {};

// A recipe the program cannot read entirely changes nothing, even with --apply.
TEST_F(CliRecipe, AMalformedRecipeIsRefusedWithItsLineAndNothingChanges) {
  File("a.txt");
  const std::pair<const char*, const char*> cases[] = {
      {"tonbo-recipe 1\n--upper\n--shout\n", "3行目：不明な手順です：--shout"},
      {"tonbo-recipe 1\n# c\n--regex 's/(/x/'\n", "3行目：正規表現が正しくありません"},
      {"tonbo-recipe 2\n--upper\n", "1行目：手順ファイルの版「2」は読めません"},
      {"tonbo-recipe 1\n--replace a\n", "2行目：--replace には値が2つ必要です。"},
      {"tonbo-recipe 1\n--names a.txt x.txt\n--append \"open\n", "3行目：引用符が閉じていません。"},
      {"tonbo-recipe 1\n--names b.txt x.txt\n", "2行目：「a.txt」はこの手順を記録した名前"},
  };
  const std::string recipe = MakeTempDir("recipe") + "r.recipe";
  for (const auto& [text, message] : cases) {
    WriteFile(recipe, text);
    const CliRun run = RunTonboCli({"--recipe", recipe, "--apply", dir_});
    EXPECT_EQ(run.code, 2) << text;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_EQ(Disk(), (std::map<std::string, std::string>{{"a.txt", "x"}}));
  }
}

// A refused recipe's message shows the name or key at fault as it was written.
TEST_F(CliRecipe, ARefusalShowsTheNameAsWritten) {
  File("写真.txt");
  const std::string recipe = MakeTempDir("recipe") + "r.recipe";
  for (const auto& [line, shown] :
       {std::pair{"--names 絵.txt x.txt", "「写真.txt」"}, std::pair{"--set 鍵=1", "「鍵」"}}) {
    WriteFile(recipe, std::string("tonbo-recipe 1\n") + line + "\n");
    const CliRun run = RunTonboCli({"--recipe", recipe, dir_});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find(shown), std::string::npos) << run.err;
  }
}

// What --save-recipe writes runs to the same names; every step of a recipe
// but "--names" is tonbo-cli's option of the same name and values.
TEST_F(CliRecipe, SavedStepsRunToTheSameNames) {
  File("Photo 1.JPG");
  File("it's.txt");
  const std::string recipe = MakeTempDir("recipe") + "r.recipe";
  // The steps as a shell would pass them.
  const RecipeWords steps = SplitRecipeLine(
      R"(--set edtRenbanHeader.Text="x '\$" --renban --replace X y --case )"
      R"(--regex 's/(\d+)/<$1>/' --select-mask '*.JPG' --case --upper --append '" z')",
      1);
  std::vector<std::string> save = steps;
  save.insert(save.end(), {"--save-recipe", recipe, dir_});
  const std::vector<std::string> direct = NewNames(RunTonboCli(save));
  const std::vector<std::string> replayed = NewNames(RunTonboCli({"--recipe", recipe, dir_}));
  EXPECT_EQ(replayed, direct);
  auto named = [&](const char* head, const char* tail) {
    return std::count_if(direct.begin(), direct.end(), [&](const std::string& n) {
      return n.starts_with(head) && n.ends_with(tail);
    });
  };
  EXPECT_EQ(named("X '$<00", ">\" z.JPG") + named("x '$<00", ">.txt"), 2);
  const auto& cli = cli::OptionList();
  for (const RecipeOption& step : RecipeOptions())
    EXPECT_TRUE(step.values < 0 ||
                std::any_of(cli.begin(), cli.end(),
                            [&](const auto& o) {
                              return o.parse && o.name == std::string(step.name) &&
                                     cli::ValueCount(o) == static_cast<size_t>(step.values);
                            }))
        << step.name;
}

}  // namespace
}  // namespace tonbo::test
