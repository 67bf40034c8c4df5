// The folders of src/ are layers: a folder includes and links only the
// folders its row names. tests/ and bench/ mirror src/, so a test or a
// benchmark of a layer may reach no higher than the layer itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Layer {
  std::string folder;
  std::set<std::string> may_include;  // besides itself
  std::set<std::string> libraries;    // the CMake targets it builds
};

// Bottom to top, as README's layout table lists them.
const std::vector<Layer>& Layers() {
  static const std::vector<Layer> layers = {
      {"common", {}, {"tonbo_common"}},
      {"platform", {"common"}, {"tonbo_platform_files", "tonbo_platform"}},
      {"text", {"common"}, {"tonbo_text"}},
      {"core", {"common", "platform", "text"}, {"tonbo_core"}},
      {"commands", {"common", "platform", "text", "core"}, {"tonbo_commands"}},
      {"preview", {"common", "text"}, {"tonbo_imaging", "tonbo_preview"}},
      {"desktop", {"common", "platform", "text", "core"}, {"tonbo_desktop"}},
      {"windows", {"common", "platform", "text", "core", "commands", "preview"}, {"tonbo_windows"}},
      {"cli", {"common", "platform", "text", "core", "commands"}, {"tonbo_cli"}},
      {"app",
       {"common", "platform", "text", "core", "commands", "preview", "desktop", "windows"},
       {"tonbo_app_ui"}},
  };
  return layers;
}

const Layer* Find(const std::string& folder) {
  for (const Layer& l : Layers())
    if (l.folder == folder) return &l;
  return nullptr;
}

bool Allowed(const Layer& from, const std::string& to) {
  return to == from.folder || from.may_include.count(to) > 0;
}

std::string LayerOfLibrary(const std::string& lib) {
  for (const Layer& l : Layers())
    if (l.libraries.count(lib)) return l.folder;
  return {};
}

const fs::path kRoot = TONBO_SOURCE_ROOT;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Includes(const fs::path& file) {
  static const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::vector<std::string> out;
  std::istringstream in(Read(file));
  std::string line;
  std::smatch m;
  while (std::getline(in, line))
    if (std::regex_search(line, m, include)) out.push_back(m[1]);
  return out;
}

// The tonbo_* libraries a CMakeLists.txt names.
std::set<std::string> Libraries(const fs::path& file) {
  static const std::regex lib(R"(\btonbo_[a-z_]+\b)");
  std::set<std::string> out;
  std::string text = Read(file);
  for (std::sregex_iterator it(text.begin(), text.end(), lib), end; it != end; ++it)
    if (!LayerOfLibrary(it->str()).empty()) out.insert(it->str());
  return out;
}

bool IsSource(const fs::path& p) {
  std::string e = p.extension().string();
  return e == ".cpp" || e == ".h";
}

// Where a folder-less include may come from: the file's own folder, the
// shared test support, or the test folder of a layer it may reach.
bool FindsLocal(const fs::path& file, const std::string& inc, const Layer& layer,
                const std::string& tree) {
  if (fs::exists(file.parent_path() / inc)) return true;
  if (inc.ends_with(".moc") || inc.starts_with("moc_")) return true;
  if (fs::exists(kRoot / "tests/support" / inc)) return true;
  for (const std::string& to : layer.may_include)
    if (fs::exists(kRoot / tree / to / inc)) return true;
  return false;
}

// Every fault found in one tree (src, tests or bench), one line each.
std::vector<std::string> Faults(const std::string& tree) {
  static const std::set<std::string> kNotLayers = {"support", "house", "packaging"};
  std::vector<std::string> faults;
  for (const auto& top : fs::directory_iterator(kRoot / tree)) {
    if (!top.is_directory()) continue;
    std::string folder = top.path().filename().string();
    const Layer* layer = Find(folder);
    if (!layer) {
      if (tree != "tests" || !kNotLayers.count(folder))
        faults.push_back(tree + "/" + folder + ": not a layer");
      continue;
    }
    for (const auto& e : fs::recursive_directory_iterator(top.path())) {
      std::string where = fs::relative(e.path(), kRoot).string();
      if (e.path().filename() == "CMakeLists.txt") {
        for (const std::string& lib : Libraries(e.path()))
          if (!Allowed(*layer, LayerOfLibrary(lib))) faults.push_back(where + ": links " + lib);
        continue;
      }
      if (!IsSource(e.path())) continue;
      for (const std::string& inc : Includes(e.path())) {
        auto slash = inc.find('/');
        std::string to = slash == std::string::npos ? "" : inc.substr(0, slash);
        if (Find(to)) {
          if (!Allowed(*layer, to)) faults.push_back(where + ": includes " + inc);
        } else if (to.empty() || to == "..") {
          bool found = to.empty() ? FindsLocal(e.path(), inc, *layer, tree)
                                  : fs::exists(e.path().parent_path() / inc);
          if (!found) faults.push_back(where + ": includes " + inc + ", found nowhere allowed");
        } else {
          faults.push_back(where + ": includes " + inc + " from no layer");
        }
      }
    }
  }
  std::sort(faults.begin(), faults.end());
  return faults;
}

class LayersTest : public ::testing::TestWithParam<std::string> {};

TEST_P(LayersTest, EveryIncludeAndLinkPointsDown) {
  std::vector<std::string> faults = Faults(GetParam());
  std::string all;
  for (const std::string& f : faults) all += "\n  " + f;
  EXPECT_TRUE(faults.empty()) << faults.size() << " against the layer table:" << all;
}

INSTANTIATE_TEST_SUITE_P(Trees, LayersTest, ::testing::Values("src", "tests", "bench"));

TEST(LayersTest, ReadmeListsTheLayersInTheTablesOrder) {
  static const std::regex row(R"(^\| `src/([a-z]+)`)");
  std::istringstream in(Read(kRoot / "README.md"));
  std::vector<std::string> listed, expected;
  std::string line;
  std::smatch m;
  while (std::getline(in, line))
    if (std::regex_search(line, m, row)) listed.push_back(m[1]);
  for (const Layer& l : Layers()) expected.push_back(l.folder);
  EXPECT_EQ(listed, expected);
  for (const auto& e : fs::directory_iterator(kRoot / "src")) {
    if (!e.is_directory()) continue;
    EXPECT_NE(Find(e.path().filename().string()), nullptr) << e.path() << " is in no row";
  }
}

}  // namespace
