// Taking a file back out of the desktop trash. GIO can only restore through
// gvfs, which a headless session does not run, so the .trashinfo files are
// read directly (freedesktop.org trash specification).
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/TextFile.h"
#include "platform/FileOps.h"

namespace tonbo::platform {
namespace {

std::string HomeTrash() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return std::string(data) + "/Trash";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.local/share/Trash";
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() + 0 && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The top folder of the volume that holds dir (where .Trash-$uid lives).
std::string MountTop(std::string dir) {
  struct stat st {};
  if (stat(dir.c_str(), &st) != 0) return {};
  while (dir.size() > 1) {
    const size_t slash = dir.rfind('/', dir.size() - 2);
    std::string parent = slash == 0 ? "/" : dir.substr(0, slash);
    struct stat up {};
    if (stat(parent.c_str(), &up) != 0 || up.st_dev != st.st_dev) break;
    dir = parent;
  }
  if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

struct Entry {
  std::string file, info, date;
};

// Every entry of one trash folder, by the path it was trashed from.
using Entries = std::unordered_map<std::string, std::vector<Entry>>;

void ReadTrash(const std::string& trash, const std::string& top, Entries& out) {
  DIR* d = opendir((trash + "/info").c_str());
  if (!d) return;
  const std::string suffix = ".trashinfo";
  while (const dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() <= suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    std::string text;
    ReadWholeFile(trash + "/info/" + name, text);
    std::istringstream in(text);
    std::string line, path, date;
    while (std::getline(in, line)) {
      if (line.rfind("Path=", 0) == 0) path = PercentDecode(line.substr(5));
      if (line.rfind("DeletionDate=", 0) == 0) date = line.substr(13);
    }
    if (path.empty()) continue;
    if (path[0] != '/') path = top + "/" + path;
    out[path].push_back({trash + "/files/" + name.substr(0, name.size() - suffix.size()),
                         trash + "/info/" + name, date});
  }
  closedir(d);
}

// The newest entry for the file (see RestoreFromTrash), or the end.
std::vector<Entry>::iterator Best(std::vector<Entry>& entries, const FileId& id) {
  auto best = entries.end();
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (best != entries.end() && it->date < best->date) continue;
    const FileId there = IdentityOf(it->file);
    if (!there.Exists()) continue;
    // Moved within one volume the file keeps its inode; copied across, its size.
    if (id.Exists() && !there.SameFile(id) && (there.dev == id.dev || there.size != id.size))
      continue;
    best = it;
  }
  return best;
}

}  // namespace

struct TrashRestorer::Index {
  std::set<std::string> read;  // trash folders read
  Entries entries;
  std::unordered_map<std::string, std::string> topOf;  // folder -> its volume's top folder
  void Need(const std::string& trash, const std::string& top) {
    if (read.insert(trash).second) ReadTrash(trash, top, entries);
  }
};

TrashRestorer::TrashRestorer() : index_(std::make_unique<Index>()) {}
TrashRestorer::~TrashRestorer() = default;

struct TrashRestorer::Found {
  std::vector<Entry>* entries = nullptr;
  std::vector<Entry>::iterator best;
};

TrashRestorer::Found TrashRestorer::Find(const std::string& originalPath, const FileId& id) {
  const size_t slash = originalPath.rfind('/');
  if (slash == std::string::npos) return {};
  index_->Need(HomeTrash(), "");
  const std::string dir = originalPath.substr(0, slash + 1);
  auto [known, fresh] = index_->topOf.try_emplace(dir);
  if (fresh) known->second = MountTop(dir);
  const std::string& top = known->second;
  if (!top.empty()) {
    const std::string uid = std::to_string(getuid());
    const std::string base = top == "/" ? "" : top;
    index_->Need(base + "/.Trash-" + uid, base);
    index_->Need(base + "/.Trash/" + uid, base);
  }
  const auto found = index_->entries.find(originalPath);
  if (found == index_->entries.end()) return {};
  std::vector<Entry>& entries = found->second;
  const auto best = Best(entries, id);
  if (best == entries.end()) return {};
  return {&entries, best};
}

bool TrashRestorer::Holds(const std::string& originalPath, const FileId& id) {
  return Find(originalPath, id).entries != nullptr;
}

int TrashRestorer::Restore(const std::string& originalPath, const FileId& id) {
  const Found found = Find(originalPath, id);
  if (!found.entries) return ENOENT;
  if (const int err = RenameNoReplace(found.best->file, originalPath)) return err;
  unlink(found.best->info.c_str());
  found.entries->erase(found.best);
  return 0;
}

int RestoreFromTrash(const std::string& originalPath, const FileId& id) {
  return TrashRestorer().Restore(originalPath, id);
}

}  // namespace tonbo::platform
