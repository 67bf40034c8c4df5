// The folders of src/ are layers: a folder includes and links only the
// folders its row names. tests/ and bench/ mirror src/, so a test or a
// benchmark of a layer may reach no higher than the layer itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
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
      {"tags", {"common"}, {"tonbo_tags"}},
      {"core", {"common", "platform", "text", "tags"}, {"tonbo_core"}},
      {"commands", {"common", "platform", "text", "tags", "core"}, {"tonbo_commands"}},
      {"preview", {"common", "text", "tags"}, {"tonbo_imaging", "tonbo_preview"}},
      {"desktop", {"common", "platform", "text", "core"}, {"tonbo_desktop"}},
      {"windows",
       {"common", "platform", "text", "tags", "core", "commands", "preview"},
       {"tonbo_windows"}},
      {"cli", {"common", "platform", "text", "tags", "core", "commands"}, {"tonbo_cli"}},
      {"app",
       {"common", "platform", "text", "tags", "core", "commands", "preview", "desktop", "windows"},
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

// The first group of every match of `re` in a file, line by line, or in the
// whole text when `lines` is false.
std::vector<std::string> Matches(const fs::path& file, const std::regex& re, bool lines = true) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> out;
  std::string text;
  std::smatch m;
  if (!lines) {
    text.assign(std::istreambuf_iterator<char>(in), {});
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
      out.push_back((*it)[1]);
  }
  while (lines && std::getline(in, text))
    if (std::regex_search(text, m, re)) out.push_back(m[1]);
  return out;
}

// A folder-less or relative include comes from the file's own folder, the
// shared test support, or the test folder of a layer it may reach.
bool FoundNear(const fs::path& file, const std::string& inc, const Layer& layer,
               const std::string& tree) {
  if (fs::exists(file.parent_path() / inc) || fs::exists(kRoot / "tests/support" / inc))
    return true;
  if (inc.ends_with(".moc") || inc.starts_with("moc_")) return true;
  return std::any_of(layer.may_include.begin(), layer.may_include.end(),
                     [&](const std::string& to) { return fs::exists(kRoot / tree / to / inc); });
}

// What one file of a layer includes or links against the table.
void CheckFile(const fs::path& file, const Layer& layer, const std::string& tree,
               std::vector<std::string>& faults) {
  static const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
  static const std::regex library(R"(\b(tonbo_[a-z_]+)\b)");
  const std::string where = fs::relative(file, kRoot).string();
  if (file.filename() == "CMakeLists.txt") {
    for (const std::string& lib : Matches(file, library, false)) {
      const std::string to = LayerOfLibrary(lib);
      if (!to.empty() && !Allowed(layer, to)) faults.push_back(where + ": links " + lib);
    }
    return;
  }
  if (file.extension() != ".cpp" && file.extension() != ".h") return;
  for (const std::string& inc : Matches(file, include)) {
    const size_t slash = inc.find('/');
    const std::string to = slash == std::string::npos ? "" : inc.substr(0, slash);
    if (Find(to) && !Allowed(layer, to))
      faults.push_back(where + ": includes " + inc);
    else if (!Find(to) && !FoundNear(file, inc, layer, tree))
      faults.push_back(where + ": includes " + inc + ", found nowhere allowed");
  }
}

// Every fault found in one tree (src, tests or bench), one line each.
std::vector<std::string> Faults(const std::string& tree) {
  static const std::set<std::string> kNotLayers = {"support", "house", "packaging"};
  std::vector<std::string> faults;
  for (const auto& top : fs::directory_iterator(kRoot / tree)) {
    const std::string folder = top.path().filename().string();
    const Layer* layer = Find(folder);
    if (top.is_directory() && !layer && (tree != "tests" || !kNotLayers.count(folder)))
      faults.push_back(tree + "/" + folder + ": not a layer");
    if (!top.is_directory() || !layer) continue;
    for (const auto& e : fs::recursive_directory_iterator(top.path()))
      CheckFile(e.path(), *layer, tree, faults);
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
  std::vector<std::string> expected;
  for (const Layer& l : Layers()) expected.push_back(l.folder);
  EXPECT_EQ(Matches(kRoot / "README.md", std::regex(R"(^\| `src/([a-z]+)`)")), expected);
  for (const auto& e : fs::directory_iterator(kRoot / "src")) {
    if (!e.is_directory()) continue;
    EXPECT_NE(Find(e.path().filename().string()), nullptr) << e.path() << " is in no row";
  }
}

}  // namespace
