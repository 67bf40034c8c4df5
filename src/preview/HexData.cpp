#include "preview/HexData.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "common/FileRead.h"

namespace tonbo::preview {

bool MappedFile::Open(const std::string& diskPath) {
  Close();
  struct stat info {};
  const int fd = OpenFileToRead(diskPath, &info);
  if (fd < 0) return false;
  bool ok = true;
  if (info.st_size > 0) {
    void* map = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_SHARED, fd, 0);
    ok = map != MAP_FAILED;
    if (ok) {
      data_ = static_cast<const uint8_t*>(map);
      size_ = static_cast<uint64_t>(info.st_size);
    }
  }
  close(fd);
  return ok;
}

void MappedFile::Close() {
  if (data_) munmap(const_cast<uint8_t*>(data_), static_cast<size_t>(size_));
  data_ = nullptr;
  size_ = 0;
}

std::vector<uint8_t> MappedFile::Read(uint64_t offset, size_t count) const {
  if (offset >= size_) return {};
  const uint64_t end = std::min<uint64_t>(size_, offset + count);
  return std::vector<uint8_t>(data_ + offset, data_ + end);
}

namespace {

// One character through iconv; empty when it does not convert.
std::string Decode(const char* from, const uint8_t* p, size_t n) {
  iconv_t cd = iconv_open("UTF-8", from);
  if (reinterpret_cast<std::intptr_t>(cd) == -1) return {};  // (iconv_t)-1: failed
  char out[16];
  char* src = reinterpret_cast<char*>(const_cast<uint8_t*>(p));
  char* dst = out;
  size_t left = n, room = sizeof out;
  const bool ok = iconv(cd, &src, &left, &dst, &room) != static_cast<size_t>(-1) && left == 0;
  iconv_close(cd);
  return ok ? std::string(out, static_cast<size_t>(dst - out)) : std::string();
}

std::string Ascii(uint8_t c) { return c >= 0x20 && c < 0x7F ? std::string(1, char(c)) : "."; }

std::string OrDot(const std::string& s) { return s.empty() ? "." : s; }

bool SjisLead(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Walks all bytes (context first); `emit(i, text, width)` for each character.
template <typename Emit>
void WalkSjis(const std::vector<uint8_t>& all, Emit emit) {
  for (size_t i = 0; i < all.size();) {
    const uint8_t c = all[i];
    if (SjisLead(c) && i + 1 < all.size()) {
      emit(i, OrDot(Decode("CP932", &all[i], 2)), 2);
      i += 2;
    } else if (c >= 0xA1 && c <= 0xDF) {
      emit(i, OrDot(Decode("CP932", &all[i], 1)), 1);
      ++i;
    } else {
      emit(i++, Ascii(c), 1);
    }
  }
}

template <typename Emit>
void WalkEuc(const std::vector<uint8_t>& all, Emit emit) {
  for (size_t i = 0; i < all.size();) {
    const uint8_t c = all[i];
    const bool pair = (c >= 0xA1 && c <= 0xFE) || c == 0x8E;
    if (pair && i + 1 < all.size()) {
      emit(i, OrDot(Decode("EUC-JP", &all[i], 2)), 2);
      i += 2;
    } else {
      emit(i++, Ascii(c), 1);
    }
  }
}

template <typename Emit>
void WalkJis(const std::vector<uint8_t>& all, Emit emit) {
  enum { Roman, Kanji, Kana } mode = Roman;
  for (size_t i = 0; i < all.size();) {
    const uint8_t c = all[i];
    if (c == 0x1B && i + 2 < all.size()) {
      const uint8_t a = all[i + 1], b = all[i + 2];
      if (a == '$' && (b == 'B' || b == '@')) mode = Kanji;
      if (a == '(' && (b == 'B' || b == 'J')) mode = Roman;
      if (a == '(' && b == 'I') mode = Kana;
      for (int k = 0; k < 3; ++k) emit(i + k, ".", 1);
      i += 3;
    } else if (mode == Kanji && c >= 0x21 && c <= 0x7E && i + 1 < all.size()) {
      const uint8_t euc[2] = {uint8_t(c | 0x80), uint8_t(all[i + 1] | 0x80)};
      emit(i, OrDot(Decode("EUC-JP", euc, 2)), 2);
      i += 2;
    } else if (mode == Kana && c >= 0x21 && c <= 0x5F) {
      const uint8_t sjis = uint8_t(c + 0x80);
      emit(i++, OrDot(Decode("CP932", &sjis, 1)), 1);
    } else {
      emit(i++, Ascii(c), 1);
    }
  }
}

template <typename Emit>
void WalkUnicode(const std::vector<uint8_t>& all, size_t start, Emit emit) {
  // Code units sit at even offsets of the file; the line starts at one.
  for (size_t i = start % 2; i < all.size();) {
    if (i + 1 >= all.size()) {
      emit(i++, ".", 1);
      continue;
    }
    const unsigned unit = all[i] | all[i + 1] << 8;
    const bool shown = unit >= 0x20 && unit != 0x7F && (unit < 0x80 || unit >= 0xA0) &&
                       (unit < 0xD800 || unit > 0xDFFF);
    emit(i, shown ? OrDot(Decode("UTF-16LE", &all[i], 2)) : ".", 2);
    i += 2;
  }
}

}  // namespace

std::vector<std::string> TextCells(const std::vector<uint8_t>& before,
                                   const std::vector<uint8_t>& bytes, CharSet set,
                                   const std::vector<uint8_t>& after) {
  std::vector<uint8_t> all(before);
  all.insert(all.end(), bytes.begin(), bytes.end());
  all.insert(all.end(), after.begin(), after.end());
  const size_t start = before.size(), end = start + bytes.size();
  std::vector<std::string> cells(bytes.size());
  auto emit = [&](size_t i, const std::string& text, int width) {
    for (int k = 0; k < width; ++k) {
      const size_t at = i + static_cast<size_t>(k);
      if (at >= start && at < end) cells[at - start] = k == 0 ? text : std::string();
    }
  };
  switch (set) {
    case CharSet::Ascii:
      for (size_t i = 0; i < bytes.size(); ++i) cells[i] = Ascii(bytes[i]);
      break;
    case CharSet::ShiftJis:
      WalkSjis(all, emit);
      break;
    case CharSet::Jis:
      WalkJis(all, emit);
      break;
    case CharSet::Euc:
      WalkEuc(all, emit);
      break;
    case CharSet::Unicode:
      WalkUnicode(all, 0, emit);
      break;
  }
  return cells;
}

std::string OffsetText(uint64_t offset) {
  char text[24];
  std::snprintf(text, sizeof text, "%08llX", static_cast<unsigned long long>(offset));
  return text;
}

std::string HexText(const std::vector<uint8_t>& bytes) {
  static const char* const kDigits = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i) out += ' ';
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
  return out;
}

}  // namespace tonbo::preview
