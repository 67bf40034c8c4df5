#pragma once
// How many finished runs the journal folder keeps, and for how long: the
// settings file's [journal] keep_runs and keep_days. The window and
// tonbo-cli read the same file, so both prune alike.
#include "core/IniFile.h"

namespace tonbo {

struct JournalKeep {
  int runs = 20;  // the newest finished runs kept
  int days = 30;  // none older than this
};

// The two keys of ini; a key missing, not a number or out of range (runs
// 1 to 10000, days 1 to 36500) gives its default.
JournalKeep ReadJournalKeep(const TIniFileEx& ini);
// The same from the settings file as it is on disk now.
JournalKeep ReadJournalKeep();
void WriteJournalKeep(TIniFileEx& ini, const JournalKeep& keep);

}  // namespace tonbo
