// The main window with 100,000 rows: resident memory of one table, of
// select all, and of 30 full-table commands each recorded in the history,
// then the time of undo and redo of a full-table step.
//   tonbo_bench_history [rows]   (default 100000)
#include <malloc.h>

#include <QApplication>
#include <QTableView>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "../BenchArgs.h"
#include "app/TfrmMain.h"
#include "common/Sjis.h"

namespace {

using Clock = std::chrono::steady_clock;

class StubTypes : public tonbo::FileTypeSource {
 public:
  tonbo::FileTypeInfo Fetch(const std::string&) override {
    return {tonbo::FallbackFileIcon(), QStringLiteral("テキスト文書")};
  }
};

// Resident memory in MB, after handing freed heap back to the system.
double ResidentMb() {
  malloc_trim(0);
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

void FillTable(tonbo::TCsvDb& t, int rows) {
  const char* exts[] = {".jpg", ".txt", ".png", ".JPG", ".mp3", ".exe", ""};
  const std::string kanji = tonbo::enc::Lit("写真_");
  for (int i = 0; i < rows; ++i) {
    const std::string name = kanji + std::to_string(i);
    const std::string ext = exts[i % 7];
    t.SetCell(tonbo::colNewName, i, name);
    t.SetCell(tonbo::colExt, i, ext);
    t.SetCell(tonbo::colModified, i, "2024/05/06 07:08:10");
    t.SetCell(tonbo::colSize, i, std::to_string(1000 + i * 37));
    t.SetCell(tonbo::colPath, i, "/home/user/pictures/2024/holiday/" + name + ext);
    t.SetCell(tonbo::colIconIndex, i, "");
  }
}

// A command over every row: a new name for each, the list rebuilt, an entry recorded.
void NameEveryRow(tonbo::TfrmMain& w, int step) {
  tonbo::TCsvDb& t = w.Table();
  // Every other command makes the names longer than the names on disk.
  const std::string prefix = step % 2
                                 ? "s" + std::to_string(step) + "_"
                                 : tonbo::enc::Lit("2024-05-06_撮影_") + std::to_string(step) + "_";
  for (int r = 0; r < t.RowCount(); ++r)
    t.SetCell(tonbo::colNewName, r, prefix + std::to_string(r));
  w.RefreshList();
  w.RecordUndo(QStringLiteral("連番"));
}

double Ms(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = tonbo::bench::ReadFilesAndRounds(argc, argv, {100000, 1}).files;
  QApplication app(argc, argv);
  tonbo::TfrmMain w(nullptr, std::make_unique<StubTypes>());
  w.SetSwitch(tonbo::MenuSwitch::mnuDescript, false);
  w.resize(800, 600);
  const double empty = ResidentMb();
  FillTable(w.Table(), rows);
  w.RefreshList();
  w.RecordUndo(QStringLiteral("ファイルの追加"));
  const double one = ResidentMb();
  const size_t tableBytes = w.Table().HeapBytesNotIn(nullptr);

  w.actSelectAllExecute();
  const double selected = ResidentMb();
  w.actSelectReverseExecute();
  w.actSelectAllExecute();
  const double selectedTwice = ResidentMb();

  for (int step = 0; step < 30; ++step) {
    if (step % 10 == 9) {
      w.listFileColumnClick(tonbo::FileListModel::ColName);  // a sort, then an entry
      w.RecordUndo(QStringLiteral("並べ替え"));
    } else if (step % 10 == 4) {
      w.actNameResetExecute();
    } else {
      NameEveryRow(w, step);
    }
  }
  const double thirty = ResidentMb();
  std::printf("rows %d, history entries %d\n", rows, w.History().Count());
  std::printf("resident: empty window %.1f MB, one table %.1f MB\n", empty, one);
  std::printf("select all: %+.1f MB; reverse + select all again: %+.1f MB\n", selected - one,
              selectedTwice - one);
  std::printf(
      "30 full-table entries: %.1f MB = %.2f x one table (%.2f x its growth over the "
      "empty window)\n",
      thirty, thirty / one, (thirty - empty) / (one - empty));
  size_t entriesOwn = 0;
  const tonbo::TUndoList& h = w.History();
  for (int i = 1; i < h.Count(); ++i)
    entriesOwn += h.At(i)->Snapshot().HeapBytesNotIn(&h.At(i - 1)->Snapshot());
  std::printf("table storage %.1f MB; the 30 entries' own storage %.1f MB\n", tableBytes / 1e6,
              entriesOwn / 1e6);
  // What the history costs beyond its blocks and row orders: the allocator's
  // headers and free pieces, the window's own per-entry data.
  std::printf("growth over one table %.1f MB, of which beyond the entries' storage %.1f MB\n",
              thirty - one, thirty - one - entriesOwn / 1e6);

  // Undo and redo of a full-table naming step (the list rebuild included).
  NameEveryRow(w, 99);
  for (int round = 0; round < 3; ++round) {
    auto start = Clock::now();
    w.mnuUndoClick();
    const double undo = Ms(start);
    start = Clock::now();
    w.mnuRedoClick();
    std::printf("undo %.1f ms, redo %.1f ms\n", undo, Ms(start));
  }
  return 0;
}
