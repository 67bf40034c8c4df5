// Recipes in the main window: the naming steps since the list was filled
// saved to a file, a recipe run on the selected rows as one history entry
// per step, and the recently used recipes under "名前変更(&N)".
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include <set>

#include "app/CommandTable.h"
#include "app/TfrmMain.h"
#include "commands/Recipe.h"
#include "commands/RulesSettings.h"
#include "common/Dialogs.h"
#include "common/Errors.h"
#include "common/Sjis.h"
#include "windows/TfrmFormat.h"

namespace tonbo {
namespace {

const QString kSaveCaption = QStringLiteral("手順を保存");
const QString kRunCaption = QStringLiteral("手順を実行");
constexpr const char* kRecentSection = "recipe";
constexpr int kRecentCount = 5;

std::string DiskName(const QString& chosen) { return QFile::encodeName(chosen).toStdString(); }

std::string RecentKey(int i) { return "Recent" + std::to_string(i + 1); }

// The entries that fill or empty the list, or put its names back: the steps
// before them were for other files or other names.
bool FillsList(const std::string& sjisLabel) {
  static const std::set<std::string> labels = {
      enc::Lit("初期状態"),
      enc::Lit("ファイルの追加"),
      enc::Lit("ファイルを開く"),
      enc::Lit("選択ファイルと同じフォルダにあるファイル追加"),
      enc::Lit("リストにファイル追加"),
      enc::Lit("リスト初期化"),
      enc::Lit("ファイル名をオリジナルに戻す")};
  return labels.contains(sjisLabel);
}

FileDialogRequest RecipeDialog(const QString& caption) {
  FileDialogRequest request;
  request.caption = caption;
  request.directory = QDir::homePath();
  request.filters = {QStringLiteral("手順ファイル (*.recipe)"), QStringLiteral("全て (*)")};
  request.defaultSuffix = QStringLiteral("recipe");
  request.multiple = false;
  return request;
}

}  // namespace

// The entry after the last one that filled the list: the steps that entry
// carries were for the files before it.
int TfrmMain::FirstStepEntry() const {
  int first = undo_.Position();
  while (first > 0 && !FillsList(undo_.At(first)->Label())) --first;
  if (first >= 0 && FillsList(undo_.At(first)->Label())) ++first;
  return std::max(first, 0);
}

// The steps of the entry, and with the current entry those of the commands
// since it.
TStepLines TfrmMain::StepsOf(int entry) const {
  TStepLines steps = undo_.At(entry)->Steps();
  if (entry == undo_.Position())
    steps.insert(steps.end(), pendingSteps_.begin(), pendingSteps_.end());
  return steps;
}

// Offers the entries that carry steps, those since the list was filled
// checked, and gives the steps of the run chosen; none when cancelled.
TStepLines TfrmMain::ChooseSteps() {
  QList<StepEntry> offered;
  std::vector<TStepLines> steps;
  const int firstChecked = FirstStepEntry();
  int since = 0;
  for (int i = 0; i <= undo_.Position(); ++i) {
    TStepLines entrySteps = StepsOf(i);
    if (entrySteps.empty()) continue;
    StepEntry entry{enc::FromSjis(undo_.At(i)->Label()), {}};
    for (const RecipeWords& line : entrySteps)
      entry.lines << QString::fromStdString(RecipeLineText(line));
    offered << entry;
    steps.push_back(std::move(entrySteps));
    since += i >= firstChecked;
  }
  if (offered.isEmpty()) {
    ShowWarning(QStringLiteral("保存する手順がありません。\r\n名前を付けるコマンド、置換、"
                               "一括変更の後で保存してください。"),
                kSaveCaption);
    return {};
  }
  StepRange range{static_cast<int>(offered.size()) - since, static_cast<int>(offered.size()) - 1};
  if (!Dialogs().ChooseSteps(kSaveCaption, offered, range)) return {};
  range.first = std::max(range.first, 0);
  range.last = std::min(range.last, static_cast<int>(offered.size()) - 1);
  TStepLines chosen;
  for (int i = range.first; i <= range.last; ++i)
    chosen.insert(chosen.end(), steps[static_cast<size_t>(i)].begin(),
                  steps[static_cast<size_t>(i)].end());
  return chosen;
}

// Names typed one at a time become one list step: every row's name before
// and after, the pairs of later typed names written into the same line.
void TfrmMain::NoteTypedName(int row, const std::string& sjisBefore) {
  const std::string now = enc::SjisToDisk(
      std::string(table_.GetCell(colNewName, row)).append(table_.GetCell(colExt, row)));
  const size_t words = 1 + 2 * static_cast<size_t>(table_.RowCount());
  if (!pendingSteps_.empty() && pendingSteps_.back().size() == words &&
      pendingSteps_.back()[0] == "--names") {
    pendingSteps_.back()[2 + 2 * static_cast<size_t>(row)] = now;
    return;
  }
  std::vector<std::string> before;
  for (int r = 0; r < table_.RowCount(); ++r)
    before.push_back(
        r == row ? sjisBefore
                 : std::string(table_.GetCell(colNewName, r)).append(table_.GetCell(colExt, r)));
  if (RecipeWords step = NamesLine(before, table_); !step.empty()) pendingSteps_.push_back(step);
}

void TfrmMain::mnuRecipeSaveClick() {
  if (!ConfirmAction(QStringLiteral("recipe_save"))) return;
  const TStepLines steps = ChooseSteps();
  if (steps.empty()) return;
  const QString chosen = Dialogs().GetSaveFileName(RecipeDialog(kSaveCaption));
  if (chosen.isEmpty()) return;
  if (int err = 0; !SaveRecipeFile(DiskName(chosen), steps, &err))
    throw ERecipeError("手順ファイルを保存できませんでした：" + chosen.toStdString() + "\n" +
                       ErrnoReason(err));
  RememberRecipe(DiskName(chosen));
  SetStatusText(1, QString::number(steps.size()) + QStringLiteral("行の手順を保存しました。"));
}

void TfrmMain::mnuRecipeRunClick() {
  if (!ConfirmAction(QStringLiteral("recipe_run"))) return;
  const QStringList chosen = Dialogs().GetOpenFileNames(RecipeDialog(kRunCaption));
  if (!chosen.isEmpty()) RunRecipeFile(DiskName(chosen.front()));
}

// The recipe runs on a copy; the list takes the steps only when all ran, so
// a refused recipe leaves the list and the history as they were.
void TfrmMain::RunRecipeFile(const std::string& diskPath) {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) {
    ShowWarning(QStringLiteral("範囲が選択されていません。"), kRunCaption);
    return;
  }
  const TRecipe recipe = LoadRecipeFile(diskPath);
  TIniFileEx settings("");
  SaveRenameRules(frmFormat_->Rules(), settings);
  settings.WriteBool("setting", "ext_not_change", Switch(MenuSwitch::mnuExtNotChange));
  const RecipeHooks hooks{
      [this](int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); },
      [](const std::string& text) { ShowWarning(QString::fromStdString(text), kRunCaption); }};
  const RecipeRun run = RunRecipe(table_, rows, recipe, settings, hooks);
  RememberRecipe(diskPath);
  std::vector<int> selected = rows;
  for (const RecipeStepDone& done : run.steps) {
    table_.Assign(done.table);
    // A selection step leaves its rows selected, recorded with its entry.
    if (done.rows != selected) SelectRows(selected = done.rows);
    NoteSteps(done.words);
    RecordUndo(QString::fromStdString(done.label));
  }
  RefreshList();
  SetStatusText(1, run.steps.empty() ? QStringLiteral("実行する手順がありませんでした。")
                                     : QString::fromStdString(run.steps.back().status));
}

// Newest first, each file once, at most kRecentCount.
void TfrmMain::RememberRecipe(const std::string& diskPath) {
  std::string sjis;
  enc::DiskToSjis(diskPath, sjis);
  std::vector<std::string> recent{sjis};
  for (int i = 0; i < kRecentCount; ++i) {
    const std::string kept = ini_->ReadString(kRecentSection, RecentKey(i), "");
    if (!kept.empty() && kept != sjis && static_cast<int>(recent.size()) < kRecentCount)
      recent.push_back(kept);
  }
  for (int i = 0; i < kRecentCount; ++i)
    ini_->WriteString(kRecentSection, RecentKey(i),
                      i < static_cast<int>(recent.size()) ? recent[static_cast<size_t>(i)] : "");
  UpdateRecipeMenu();
}

void TfrmMain::UpdateRecipeMenu() {
  auto* menu = findChild<QMenu*>(QStringLiteral("mnuRecipeRecent"));
  if (!menu) return;
  menu->clear();
  for (int i = 0; i < kRecentCount; ++i) {
    const std::string sjis = ini_->ReadString(kRecentSection, RecentKey(i), "");
    if (sjis.empty()) continue;
    const QString path = enc::FromSjis(sjis);
    QAction* item = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
        QFileInfo(path).fileName().replace(QLatin1Char('&'), QStringLiteral("&&"))));
    item->setToolTip(path);
    const std::string disk = enc::SjisToDisk(sjis);
    connect(item, &QAction::triggered, this,
            [this, disk] { RunGuarded([this, disk] { RunRecipeFile(disk); }); });
  }
  menu->setEnabled(!menu->isEmpty());
}

void TfrmMain::RegisterRecipeCommands() {
  commands_.Register(Command::mnuRecipeSave, [this] { mnuRecipeSaveClick(); });
  commands_.Register(Command::mnuRecipeRun, [this] { mnuRecipeRunClick(); });
  UpdateRecipeMenu();
}

}  // namespace tonbo
