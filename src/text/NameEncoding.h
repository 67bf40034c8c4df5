#pragma once
// Names that came from elsewhere, as their bytes on disk: the reading that
// repairs a garbled name, and the composed form of a decomposed one.
#include <optional>
#include <string>
#include <string_view>

namespace tonbo {

// How a garbled name's bytes came about.
enum class Garbling {
  None,
  Cp932,        // code page 932 bytes (archives and shares from Windows)
  EucJp,        // EUC-JP bytes (old Unix systems)
  Latin1,       // ISO-8859-1 bytes
  Cp932Twice,   // UTF-8 shown as code page 932 and saved again as UTF-8
  Latin1Twice,  // UTF-8 shown as Latin-1 (or Windows-1252) and saved again
};

// The most plausible garbling of a name, None when the name reads well as it
// is, no reading gives a plausible name, or two readings are about as
// plausible.
Garbling DetectGarbling(std::string_view disk);

// The UTF-8 name the bytes were meant to be under that garbling; nullopt when
// they do not read that way.
std::optional<std::string> Ungarble(Garbling how, std::string_view disk);

// The name in composed form (NFC), so か + U+3099 becomes が; bytes that are
// not UTF-8 stay as they are.
std::string ComposedName(std::string_view disk);

}  // namespace tonbo
