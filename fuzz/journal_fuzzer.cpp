// The journal reader fed arbitrary bytes: a journal damaged by a crash, a
// bug or another program is refused or read into entries that recovery may
// act on, never more.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "core/RunJournal.h"

namespace {

bool Plain(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const int fd = memfd_create("journal", MFD_CLOEXEC);
  if (fd < 0) return 0;
  if (write(fd, data, size) != static_cast<ssize_t>(size)) {
    close(fd);
    return 0;
  }
  tonbo::Journal j;
  const bool read = tonbo::ReadJournalFd(fd, "/state/journal/x.journal", j);
  close(fd);
  // A refusal says why and keeps nothing to act on.
  if (!read && (j.fault.empty() || !j.entries.empty())) __builtin_trap();
  if (!read) return 0;
  int last = -1;
  for (const tonbo::JournalEntry& e : j.entries) {
    // Rows rise, names stay in their folder, the identity names a file.
    if (e.row <= last || e.id.ino == 0) __builtin_trap();
    last = e.row;
    if (e.dir.empty() || e.dir.front() != '/' || e.dir.back() != '/') __builtin_trap();
    if (!Plain(e.from) || (e.kind == 'P' && !Plain(e.to))) __builtin_trap();
    if (!e.parked.empty() && !Plain(e.parked)) __builtin_trap();
    if (!e.numbered.empty() && !Plain(e.numbered)) __builtin_trap();
    if (e.extLength >= static_cast<int>(e.to.size()) && e.kind == 'P') __builtin_trap();
  }
  if (j.kind != "run" && j.source.rfind("/state/journal/", 0) != 0) __builtin_trap();
  return 0;
}
