#include "common/FileRead.h"

#include <cstring>

namespace tonbo {

std::string ReadErrorText(int err, std::uint64_t maxBytes) {
  if (err == kNotRegularFile) return "パイプやデバイスなど、通常のファイルではありません";
  if (err == EFBIG && maxBytes > 0)
    return std::to_string(maxBytes >> 20) + " MB を超えるファイルは読み込みません";
  char buf[256];
  // GNU strerror_r: returns the text, which may or may not be in buf.
  return strerror_r(err, buf, sizeof buf);
}

}  // namespace tonbo
