// The naming's way to the program's reader of pictures, songs and videos.
#include "commands/TagNaming.h"
#include "tags/TagReader.h"

namespace tonbo {

TagSource FileTagSource() {
  return {[](const std::string& diskPath) { return tags::ReadMediaTags(diskPath); },
          [](const std::string& diskPath) { return tags::ReadTakenTime(diskPath); }};
}

}  // namespace tonbo
