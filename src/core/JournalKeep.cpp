#include "core/JournalKeep.h"

#include "common/Folders.h"

namespace tonbo {
namespace {

constexpr char kSection[] = "journal";

int InRange(const TIniFileEx& ini, const char* key, int fallback, int most) {
  const int value = ini.ReadInteger(kSection, key, fallback);
  return value >= 1 && value <= most ? value : fallback;
}

}  // namespace

JournalKeep ReadJournalKeep(const TIniFileEx& ini) {
  const JournalKeep defaults;
  return {InRange(ini, "keep_runs", defaults.runs, 10000),
          InRange(ini, "keep_days", defaults.days, 36500)};
}

JournalKeep ReadJournalKeep() { return ReadJournalKeep(TIniFileEx(SettingsPathDisk())); }

void WriteJournalKeep(TIniFileEx& ini, const JournalKeep& keep) {
  ini.WriteInteger(kSection, "keep_runs", keep.runs);
  ini.WriteInteger(kSection, "keep_days", keep.days);
}

}  // namespace tonbo
