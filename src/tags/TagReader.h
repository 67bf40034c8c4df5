#pragma once
// The one door to what files say about themselves: pictures through Exiv2,
// songs and videos through TagLib, the date taken of a JPEG and a video's
// creation time through small bounded readers of our own.
#include <optional>
#include <string>

#include "tags/MediaTags.h"

namespace tonbo::tags {
// Reads what the file at diskPath says about itself. Never throws, never
// hangs: a missing, broken or lying file gives an empty MediaTags.
MediaTags ReadMediaTags(const std::string& diskPath);
// Only the date taken, as cheaply as the format allows (the list's column
// and the date naming read only this).
std::optional<TakenTime> ReadTakenTime(const std::string& diskPath);
}  // namespace tonbo::tags
