#pragma once
// The two small path functions of the rename executor, the backup copy and
// the adding of files: a path's pieces and a file's date.
#include <ctime>
#include <string>
#include <string_view>

namespace tonbo {

// Pieces of a code page 932 path. Only "/" separates folders: "\" and ":"
// are ordinary name characters here.
struct TFileNameParts {
  std::string dir;   // up to and including the last "/" ("" when none)
  std::string name;  // the file name without its extension
  std::string ext;   // from the file name's last "." to the end ("" when none)
};
TFileNameParts SplitFileName(std::string_view path);

// A date-time: days since 1899-12-30 in local time, the time of day as the
// fraction (before that day the fraction counts backwards, as usual for the
// form).
using TDateTime = double;

// The last-write time of the entry itself (a link is not followed), in local
// time with the seconds cut to an even number; 0 when there is no entry. The
// path is taken literally: "*" and "?" are ordinary name characters here.
TDateTime FileDateOf(std::string_view path);
// The same for a modification time already read (st_mtime).
TDateTime DateTimeFromFileTime(std::time_t mtime);
// "yyyy/mm/dd hh:nn:ss", the form of the file table's Modified column
// (empty outside the years 0-9999).
std::string FormatFileDate(TDateTime value);

}  // namespace tonbo
