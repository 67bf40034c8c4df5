// Next through a folder of 24-megapixel JPEGs in the real preview dialog
// (offscreen, the view about 800 × 600, "画質優先" on): a step is the click
// on Next until the fitted picture is painted, after the user looked at the
// last one for a while. Beside it, per file, `djpeg -scale 1/4` (the decode
// the view needs) and ImageMagick's `convert` fitting the file to 800 × 600,
// each a whole process. The contenders' order turns every round; each round
// opens a new dialog on a new folder of links. CPU is the process's whole
// time over the pass (its workers included) per step.
//   tonbo_bench_preview_dialog [pictures] [rounds] [look-ms]   (200, 3, 300)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

#include <QApplication>
#include <QScrollArea>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "../BenchArgs.h"
#include "BigJpegs.h"
#include "common/Sjis.h"
#include "windows/PreviewHost.h"
#include "windows/TfrmInputName.h"

extern char** environ;

namespace {

using namespace tonbo;
using Clock = std::chrono::steady_clock;

struct Measure {
  double seconds = 0, cpu = 0;
  bool ok = false;
};

// One process, its output to /dev/null: wall time, and its CPU time from wait4.
Measure RunProcess(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t io;
  posix_spawn_file_actions_init(&io);
  posix_spawn_file_actions_addopen(&io, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&io, 2, "/dev/null", O_WRONLY, 0);
  Measure m;
  const auto start = Clock::now();
  pid_t pid = 0;
  int status = 0;
  struct rusage u {};
  if (posix_spawnp(&pid, argv[0], &io, nullptr, argv.data(), environ) == 0 &&
      wait4(pid, &status, 0, &u) == pid) {
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    m.cpu = double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
            double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  }
  m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  posix_spawn_file_actions_destroy(&io);
  return m;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty()      ? 0
         : v.size() % 2 ? v[v.size() / 2]
                        : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

bool Runs(const std::vector<std::string>& argv) { return RunProcess(argv).ok; }

class Host : public PreviewHost {
 public:
  explicit Host(const std::vector<std::string>& files) {
    for (const std::string& f : files) {
      const int r = table.RowCount();
      std::string sjis;
      enc::DiskToSjis(f, sjis);
      const size_t slash = sjis.rfind('/'), dot = sjis.rfind('.');
      table.SetCell(colNewName, r, sjis.substr(slash + 1, dot - slash - 1));
      table.SetCell(colExt, r, sjis.substr(dot));
      table.SetCell(colPath, r, sjis);
    }
  }
  TCsvDb table;
  int selected = 0;
  TCsvDb& Table() override { return table; }
  int ItemCount() const override { return table.RowCount(); }
  int SelectedIndex() const override { return selected; }
  void SetSelectedIndex(int item) override { selected = item; }
  void ItemChanged(int) override {}
  bool ExtNotChange() const override { return true; }
  bool PlayListChecked() const override { return false; }
  void SetPlayListChecked(bool) override {}
  void PlayEffectSound(int) override {}
  bool ShowExplanation(const QString&, bool) override { return true; }
};

double ProcessCpu() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Pass {
  std::vector<double> steps;  // wall seconds of each step
  double cpuPerStep = 0;
};

// The event loop runs while the user looks, as it does in the program.
void Look(int ms) {
  const auto until = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < until) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(2);
  }
}

Pass DialogPass(const std::vector<std::string>& files, int lookMs, QSize* view) {
  Host host(files);
  TfrmInputName dlg(host);
  dlg.resize(820, 700);
  dlg.show();
  dlg.actRenameOneExecute();
  QCoreApplication::processEvents();
  *view = dlg.findChild<QScrollArea*>(QStringLiteral("ScrollBox1"))->viewport()->size();
  Pass pass;
  const double cpuStart = ProcessCpu();
  for (size_t i = 1; i < files.size(); ++i) {
    Look(lookMs);
    const auto start = Clock::now();
    dlg.btnNextClick();
    dlg.repaint();
    pass.steps.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    if (dlg.CurrentIndex() != static_cast<int>(i) || dlg.Picture().Empty())
      std::printf("  tonbo: step %zu did not show its picture\n", i);
  }
  // A worker's time while the user looked belongs to the steps too (and
  // so does the idle loop's, a little).
  Look(lookMs);
  pass.cpuPerStep = (ProcessCpu() - cpuStart) / static_cast<double>(pass.steps.size());
  return pass;
}

Pass ProcessPass(const std::vector<std::string>& files,
                 const std::function<std::vector<std::string>(const std::string&)>& argv) {
  Pass pass;
  double cpu = 0;
  for (size_t i = 1; i < files.size(); ++i) {
    const Measure m = RunProcess(argv(files[i]));
    if (!m.ok) std::printf("  %s failed on %s\n", argv(files[i])[0].c_str(), files[i].c_str());
    pass.steps.push_back(m.seconds);
    cpu += m.cpu;
  }
  pass.cpuPerStep = cpu / static_cast<double>(pass.steps.size());
  return pass;
}

struct Contender {
  Contender(const char* l, std::function<Pass(const std::vector<std::string>&)> r, bool p)
      : label(l), run(std::move(r)), present(p) {}
  const char* label;
  std::function<Pass(const std::vector<std::string>&)> run;
  bool present;
  std::vector<double> medians, worsts, cpus;
};

void Print(const char* what, const std::vector<double>& v) {
  std::printf("    %-22s median %6.1f ms  [%.1f – %.1f]  rounds:", what, Median(v) * 1e3,
              *std::min_element(v.begin(), v.end()) * 1e3,
              *std::max_element(v.begin(), v.end()) * 1e3);
  for (double x : v) std::printf(" %.1f", x * 1e3);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  test::PrepareEnvironment();
  QApplication app(argc, argv);
  const auto [pictures, rounds] = bench::ReadFilesAndRounds(argc, argv, {200, 3});
  const int lookMs = argc > 3 && argv[3][0] != '-' ? std::atoi(argv[3]) : 300;
  QSize view;
  std::vector<Contender> contenders = {
      {"tonbo preview dialog",
       [&](const std::vector<std::string>& f) { return DialogPass(f, lookMs, &view); }, true},
      {"djpeg -scale 1/4",
       [](const std::vector<std::string>& f) {
         return ProcessPass(f, [](const std::string& file) {
           return std::vector<std::string>{"djpeg",    "-scale",    "1/4", "-bmp",
                                           "-outfile", "/dev/null", file};
         });
       },
       Runs({"djpeg", "-version"})},
      {"convert -resize",
       [](const std::vector<std::string>& f) {
         return ProcessPass(f, [](const std::string& file) {
           return std::vector<std::string>{"convert", "-define", "jpeg:size=800x600", file,
                                           "-resize", "800x600", "bmp:/dev/null"};
         });
       },
       Runs({"convert", "-version"})},
  };
  for (int r = 0; r < rounds; ++r) {
    std::printf("round %d of %d\n", r + 1, rounds);
    for (size_t k = 0; k < contenders.size(); ++k) {
      Contender& c = contenders[(k + static_cast<size_t>(r)) % contenders.size()];
      if (!c.present) continue;
      const std::vector<std::string> files = bench::MakeBigJpegs(pictures);
      const Pass p = c.run(files);
      test::RemoveTree(files[0].substr(0, files[0].rfind('/') + 1));
      c.medians.push_back(Median(p.steps));
      c.worsts.push_back(*std::max_element(p.steps.begin(), p.steps.end()));
      c.cpus.push_back(p.cpuPerStep);
      std::printf("  %-22s step median %6.1f ms  worst %6.1f ms  cpu %6.1f ms a step\n", c.label,
                  c.medians.back() * 1e3, c.worsts.back() * 1e3, p.cpuPerStep * 1e3);
      std::fflush(stdout);
    }
  }
  std::printf("\n%d pictures of %d × %d, view %d × %d, %d ms looking at each:\n", pictures,
              bench::kBigJpegWidth, bench::kBigJpegHeight, view.width(), view.height(), lookMs);
  for (const Contender& c : contenders) {
    if (!c.present) {
      std::printf("  %s: not installed, skipped\n", c.label);
      continue;
    }
    std::printf("  %s\n", c.label);
    Print("step (wall)", c.medians);
    Print("worst step (wall)", c.worsts);
    Print("cpu a step", c.cpus);
  }
  std::printf("  goal: tonbo at most 100 ms cpu a step and 150 ms wall on a quiet machine\n");
  return 0;
}
