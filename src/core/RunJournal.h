#pragma once
// The journal of a rename run: a text file in the state folder that holds the
// whole plan (with every file's identity) before the first change, then each
// step as it is done, and "complete" at the end. After a crash it tells which
// files were moved; after a run it lets the run be undone. docs/renaming.md
// describes the format.
#include <string>
#include <vector>

#include "core/JournalKeep.h"
#include "platform/FileOps.h"

namespace tonbo {

// <state folder>/journal/
std::string JournalDirDisk();

class JournalWriter {
 public:
  JournalWriter() = default;
  ~JournalWriter();
  JournalWriter(const JournalWriter&) = delete;
  JournalWriter& operator=(const JournalWriter&) = delete;

  // Creates a new journal in dir, locked while this object lives. kind:
  // "run", "undo" or "recover"; source: the journal an undo or recovery works
  // on ("" for a run). Returns 0 or an errno.
  int Create(const std::string& dir, const std::string& kind, const std::string& source);
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }
  // A short name for temporary file names, unique to this run.
  const std::string& RunId() const { return id_; }

  // The plan, before Commit: a folder (disk path ending in "/") and names in it.
  // extLength: the bytes of `to` that are its extension, where a numbered
  // name goes in front of them.
  void PlanRename(int row, const std::string& dir, const std::string& from,
                  const platform::FileId& id, const std::string& to, const std::string& parkedName,
                  int extLength);
  void PlanTrash(int row, const std::string& dir, const std::string& name,
                 const platform::FileId& id);
  // Writes the plan and flushes it to the disk (file and folder). 0 or an errno.
  int Commit();

  // Steps: buffered and written in batches.
  void Renamed(int row) { Step('r', row); }
  // Renamed, for a row planned with device and inode only (a folder
  // listing): also the size and time the file had, which undo compares.
  void Renamed(int row, const platform::FileId& id);
  void Parked(int row) { Step('p', row); }
  void Unparked(int row) { Step('u', row); }
  void MovedBack(int row) { Step('b', row); }
  void Trashed(int row) { Step('t', row); }
  void VictimTrashed(int row) { Step('v', row); }
  // Changes of plan, written before the change is made; false (the errno in
  // Failure) when they are not on the disk, and then the change is not made.
  bool NewTarget(int row, const std::string& name);
  bool Victim(int row, const platform::FileId& id);
  // An answer to the same-name question for a row (row -1: chosen before the
  // run), so that finishing a cut-off run does what the run was asked:
  // method as ConflictMethod, all: for this and every later conflict.
  void Answer(int row, int method, bool all);
  // Marks the run complete, flushes and closes; then keeps only the last
  // journals (PruneJournals).
  void Complete(int renamed, int deleted, int notDone);
  // The first write that failed after the plan (an errno, 0 for none): the
  // journal does not hold the whole run.
  int Failure() const { return writeError_; }

 private:
  void Step(char kind, int row, const platform::FileId* id = nullptr);
  // After a failed write nothing more is written, so the journal never holds
  // a line cut in its middle; returns whether the text reached the file.
  bool Write(bool sync);
  int FolderIndex(const std::string& dir);
  // The start of a plan line: kind, row, folder, identity and file name.
  void PlanEntry(const char* kind, int row, const std::string& dir, const std::string& name,
                 const platform::FileId& id);

  // Writes the plan so far once it is large, so a run of many files never
  // holds the whole plan text; the first failure is kept for Commit.
  void FlushPlan();

  int fd_ = -1;
  int planError_ = 0, writeError_ = 0;
  std::string path_, id_, dir_, buffer_;
  std::string lastFolder_;
  int folders_ = 0;
  int steps_ = 0;
};

// One planned row of a journal, with what the journal says was done.
struct JournalEntry {
  char kind = 'P';  // 'P' rename, 'D' trash (delete mark)
  int row = 0;
  std::string dir, from, to, parked, numbered;  // names within dir
  platform::FileId id, victim;                  // id.size and id.mtimeNs 0: not recorded
  int extLength = -1;                           // -1: not recorded
  int answer = -1;                              // the same-name answer given for the row, -1: none
  bool renamed = false, isParked = false, trashed = false, hasVictim = false, victimTrashed = false;
  std::string FromPath() const { return dir + from; }
  std::string TargetPath() const { return dir + (numbered.empty() ? to : numbered); }
  std::string ParkedPath() const { return parked.empty() ? std::string() : dir + parked; }
};

struct Journal {
  std::string path, kind, source, closed;
  bool planned = false, complete = false;
  int renamed = 0, deleted = 0, notDone = 0;
  int allMethod = -1;                 // the answer for every conflict, -1: ask
  std::vector<JournalEntry> entries;  // in list (row) order
  std::string fault;                  // UTF-8: why the journal was not read
};

// False when the file cannot be read, is no journal, is of another format or
// holds a line that is not what Tonbo writes (out.fault says which). Only a
// regular file is read, never through a link and never waiting on a FIFO.
bool ReadJournal(const std::string& path, Journal& out);
// The same from an open file, read from its start; path names it (the source
// of an undo or a recovery must be a journal beside it).
bool ReadJournalFd(int fd, const std::string& path, Journal& out);
// Opens a journal with flags (O_RDONLY, or O_RDWR for one that gets its
// close mark): a regular file only, never a link or a FIFO. -1 and errno.
int OpenJournal(const std::string& path, int flags);
// A journal path dir + "….journal" with no further "/" in the name.
bool InJournalFolder(const std::string& path, const std::string& dir);
// Journal paths of dir (regular files only), newest first.
std::vector<std::string> ListJournals(const std::string& dir);
// What the first and the last lines of a journal say, without reading it all.
struct JournalStatus {
  std::string kind;
  std::string format;  // the format number of a journal this Tonbo cannot read, else ""
  bool complete = false, closed = false;
};
JournalStatus PeekJournal(const std::string& path);
// Another process is writing it (its run is still going).
bool JournalInUse(const std::string& path);
// Appends "closed" with a note (finished, rolled back, undone); 0 or an errno.
// Only a file that is a journal gets it (EINVAL otherwise).
int CloseJournal(const std::string& path, const std::string& how);
// The same through a journal opened with O_RDWR (one that is held locked).
int CloseJournalFd(int fd, const std::string& how);
// Keeps the last keep.runs finished journals and none older than keep.days
// (20 and 30 unless the settings file says otherwise); a journal that is not
// finished, or of another format, is never removed.
void PruneJournals(const std::string& dir, const JournalKeep& keep = ReadJournalKeep());

}  // namespace tonbo
