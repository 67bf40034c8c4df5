#pragma once
// File types without the MIME database: every file gets the drawn icon and
// no description, so window tests do not depend on the machine's types.
#include "app/FileTypes.h"

namespace tonbo::test {

class NoFileTypes : public FileTypeSource {
 public:
  FileTypeInfo Fetch(const std::string&) override { return {FallbackFileIcon(), std::nullopt}; }
};

}  // namespace tonbo::test
