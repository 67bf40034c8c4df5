#include "cli/CliSteps.h"

namespace tonbo::cli {
namespace {

// A selection that chose nothing is told of; an empty list was told of
// when the files were added.
void NothingChosen(StepContext& c, const std::string& option) {
  if (c.table.RowCount() > 0)
    c.report.Error("選ばれたファイルがないので、" + option + " は何もしません。");
}

RecipeHooks Hooks(StepContext& c) {
  return {[&c](int n) { return static_cast<int>(c.random() % static_cast<unsigned>(n)); },
          [&c](const std::string& text) { c.report.Note(text); },
          [&c](const std::string& label) {
            return c.progress ? c.progress(label) : std::unique_ptr<ProgressSink>();
          },
          {},
          [&c](const std::string& text) { c.report.Error(text); }};
}

// The recipe runs on a copy; the list takes its names only when every step ran.
void RunRecipeFile(const TRecipe& recipe, const std::string& file, StepContext& c) {
  RecipeRun run;
  try {
    run = RunRecipe(c.table, c.rows, recipe, c.settings, Hooks(c));
  } catch (const ERecipeError& e) {
    throw EUsageError(Escaped(file) + "：" + e.what());
  }
  for (const RecipeStepDone& done : run.steps) c.report.Info(done.status);
  if (run.steps.empty()) return;
  c.table.Assign(run.steps.back().table);
  c.rows = run.steps.back().rows;
}

// The lines a step runs: its own, or those of its recipe.
std::vector<RecipeLine> LinesOf(const Step& step) {
  return step.recipe ? step.recipe->lines : std::vector<RecipeLine>{step.line};
}

}  // namespace

void RunStep(const Step& step, StepContext& c) {
  const RecipeWords& words = step.line.words;
  if (step.recipe) {
    if (c.rows.empty()) return NothingChosen(c, words[0]);
    return RunRecipeFile(*step.recipe, words[1], c);
  }
  RecipeHooks hooks = Hooks(c);
  hooks.nothingChosen = [&c](const std::string& option) { NothingChosen(c, option); };
  try {
    const RecipeStepDid did = RunRecipeStep(c.table, c.rows, step.line, c.settings, hooks);
    if (!did.label.empty()) c.report.Info(did.status);
  } catch (const ERecipeError& e) {
    throw EUsageError(e.what());
  }
}

std::vector<RecipeWords> RecipeLines(const std::vector<Step>& steps) {
  std::vector<RecipeWords> lines;
  for (const Step& step : steps)
    for (const RecipeLine& line : LinesOf(step)) lines.push_back(line.words);
  return lines;
}

bool ReadsFileDates(const std::vector<Step>& steps) {
  for (const Step& step : steps)
    for (const RecipeLine& line : LinesOf(step))
      if (tonbo::ReadsFileDates(line)) return true;
  return false;
}

}  // namespace tonbo::cli
