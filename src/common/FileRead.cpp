#include "common/FileRead.h"

#include <cstring>

#include "common/Errors.h"

namespace tonbo {

std::string ReadErrorText(int err, std::uint64_t maxBytes) {
  if (err == kNotRegularFile) return "パイプやデバイスなど、通常のファイルではありません";
  if (err == EFBIG && maxBytes > 0)
    return std::to_string(maxBytes >> 20) + " MB を超えるファイルは読み込みません";
  return ErrnoReason(err);
}

}  // namespace tonbo
