#pragma once
// Adding files to the file table: folders are expanded into every file they
// hold (sub-folders included, dot folders skipped; each folder's files in the
// order a file manager shows them, then its sub-folders in that order), a path already listed is
// not added again, and the user is asked before the table grows past the
// growth limit (300, then 600, 1200, ...).
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "core/CsvDb.h"
#include "core/PathIndex.h"
#include "core/Progress.h"

namespace tonbo {

class FileAdder {
 public:
  struct Callbacks {
    // "Yes" to the growth question at the given limit.
    std::function<bool(int limit)> askGrow;
    // Once, at the end of an add, when folders could not be read (no
    // permission, a path too long for the system): each folder (code page
    // 932, ending in "/") in the order met. The rest was added all the same.
    std::function<void(const std::vector<std::string>& sjisFolders)> unread;
  };

  // growthLimit lives with the caller (the main window) and doubles each
  // time the user agrees to go past it.
  FileAdder(TCsvDb& table, int& growthLimit, Callbacks callbacks);

  // Adds every path (code page 932) in order; returns how many rows were added.
  int AddFiles(const std::vector<std::string>& paths);

  // Off: the Modified and Size cells stay empty, and a folder's regular files
  // are taken from the listing without looking at each one. For runs whose
  // commands never show or use the time and size (the command line's).
  void SetReadDetails(bool on) { details_ = on; }

  // How a folder named to the adder is walked. The window's defaults: every
  // file, and every sub-folder but those whose name begins with ".". The
  // command line walks sub-folders with -r only and skips dot names unless
  // --hidden.
  struct FolderWalk {
    bool subfolders = true;
    bool dotFiles = true;
    bool dotFolders = false;
  };
  void SetFolderWalk(FolderWalk walk) { walk_ = walk; }

  // Each file (and folder) reached is reported to sink before it is taken
  // in; when the sink answers false the add stops there: the rows added so
  // far stay and Cancelled() is true. Null: no progress.
  void SetProgress(ProgressSink* sink) { progress_ = sink; }
  // The last AddFiles was stopped through the progress sink.
  bool Cancelled() const { return cancelled_; }

 private:
  void AddPath(const std::string& path);
  // lstat of a path named to the adder; relative to the folder of the path
  // before when it is in the same one, so a long list of files of few
  // folders does not walk each whole path again.
  int LookUp(const std::string& diskPath, struct stat& st);
  // False when the work is to stop before name (code page 932); a file
  // counts towards the progress, a folder only shows its name.
  bool Reach(const std::string& name, bool isFile);
  void AddFolder(const std::string& sjisDir, const std::string& diskDir);
  void AddSubfolder(const std::string& sjisDir, const std::string& diskDir,
                    const std::string& diskName);
  // st null: the file's details are not read.
  void AddOneFile(const std::string& sjisDir, const std::string& diskName, const struct stat* st);

  TCsvDb& table_;
  int& growthLimit_;
  Callbacks callbacks_;
  PathIndex listed_;
  ProgressSink* progress_ = nullptr;
  long long reached_ = 0;
  int counter_ = 0;
  std::vector<std::string> unread_;
  bool stop_ = false;
  bool cancelled_ = false;
  bool details_ = true;
  FolderWalk walk_;
  // The folder of the last path looked up (outside bytes, with its "/") and
  // a descriptor open on it; a copy of the adder opens its own.
  struct LookFolder {
    std::string name;
    int fd = -1;
    LookFolder() = default;
    LookFolder(const LookFolder&) {}
    LookFolder& operator=(const LookFolder&) = delete;
    ~LookFolder();
    void Reset();
  } look_;
};

// The file table's text for a file time: local time, "yyyy/mm/dd hh:nn:ss",
// seconds truncated to an even number.
std::string FormatFileTime(long long unixSeconds);

}  // namespace tonbo
