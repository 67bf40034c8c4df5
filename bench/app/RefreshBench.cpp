// List rebuild of 100,000 rows whose icons are already cached.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>

#include "TestEnv.h"
#include "app/TfrmMain.h"
#include "common/Sjis.h"

namespace {

class StubTypes : public tonbo::FileTypeSource {
 public:
  tonbo::FileTypeInfo Fetch(const std::string&) override {
    return {tonbo::FallbackFileIcon(), QStringLiteral("テキスト文書")};
  }
};

void FillTable(tonbo::TCsvDb& t, int rows) {
  const char* exts[] = {".jpg", ".txt", ".png", ".JPG", ".mp3", ".exe", ""};
  const std::string kanji = tonbo::enc::Lit("写真_");
  for (int i = 0; i < rows; ++i) {
    std::string name = kanji + std::to_string(i);
    std::string ext = exts[i % 7];
    t.SetCell(tonbo::colNewName, i, name);
    t.SetCell(tonbo::colExt, i, ext);
    t.SetCell(tonbo::colModified, i, "2024/05/06 07:08:10");
    t.SetCell(tonbo::colSize, i, std::to_string(1000 + i * 37));
    t.SetCell(tonbo::colPath, i, "/home/user/pictures/2024/holiday/" + name + ext);
  }
}

void BM_RefreshList100k_IconsCached(benchmark::State& state) {
  tonbo::TfrmMain w(nullptr, std::make_unique<StubTypes>());
  FillTable(w.Table(), 100000);
  w.resize(800, 600);
  w.show();
  w.RefreshList();  // fills the icon caches
  QApplication::processEvents();
  for (auto _ : state) {
    w.RefreshList();
    QApplication::processEvents();  // includes the repaint of the reset view
  }
  state.counters["rows"] = w.Table().RowCount();
}
BENCHMARK(BM_RefreshList100k_IconsCached)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_ColumnClickSort100k(benchmark::State& state) {
  tonbo::TfrmMain w(nullptr, std::make_unique<StubTypes>());
  FillTable(w.Table(), 100000);
  w.RefreshList();
  int column = 0;
  for (auto _ : state) w.listFileColumnClick(column++ % 6);
}
BENCHMARK(BM_ColumnClickSort100k)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  tonbo::test::PrepareEnvironment();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
