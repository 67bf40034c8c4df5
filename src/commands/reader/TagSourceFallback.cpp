// until the reader lands: no file says anything about itself, so every tag
// field is missing and the date taken falls back to the modification date.
#include "commands/TagNaming.h"

namespace tonbo {

TagSource FileTagSource() {
  return {[](const std::string&) { return tags::MediaTags{}; },
          [](const std::string&) { return std::optional<tags::TakenTime>(); }};
}

}  // namespace tonbo
