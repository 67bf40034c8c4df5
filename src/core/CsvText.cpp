// The CSV text form of a table: reader and writer over code page 932 bytes.
#include <algorithm>
#include <string_view>

#include "common/Sjis.h"
#include "core/CsvDb.h"

namespace tonbo {
namespace {

using enc::IsLeadByte;

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// True when every line already ends in CR LF, so the text needs no rebuilding.
bool HasCrLfLines(std::string_view text) {
  if (text.empty()) return true;
  if (text.size() < 2 || text.substr(text.size() - 2) != "\r\n") return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (text[i + 1] != '\n') return false;
      ++i;
    } else if (text[i] == '\n') {
      return false;
    }
  }
  return true;
}

// CR, LF and CR LF all end a line; every line comes back followed by CR LF.
std::string RebuildLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      out.append(text.substr(start));
      out.append("\r\n");
      break;
    }
    out.append(text.substr(start, end - start));
    out.append("\r\n");
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return out;
}

std::string_view TrimBlank(std::string_view s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool EndsField(char c) { return c == ',' || IsLineBreak(c); }

// Index past the run of bytes that need no decision (a lead byte takes the
// byte after it along, whatever that byte is).
size_t PlainRunEnd(std::string_view t, size_t p) {
  while (p < t.size()) {
    const unsigned char c = static_cast<unsigned char>(t[p]);
    if (IsLeadByte(c)) {
      p += 2;
    } else if (c == '"' || EndsField(static_cast<char>(c))) {
      break;
    } else {
      ++p;
    }
  }
  return std::min(p, t.size());
}

// A double quote at p: the field's closing quote when only spaces stand
// between it and the end of the field.
bool IsClosingQuote(std::string_view t, size_t p, size_t& after) {
  size_t q = p + 1;
  while (q < t.size() && t[q] == ' ') ++q;
  if (q < t.size() && !EndsField(t[q])) return false;
  after = q;
  return true;
}

// Reads one field starting at p into out (untrimmed); returns the position
// after it and its separating comma.
size_t ReadField(std::string_view t, size_t p, std::string& out) {
  out.clear();
  while (p < t.size() && t[p] == ' ') ++p;
  const bool quoted = p < t.size() && t[p] == '"';
  if (quoted) ++p;
  while (p < t.size()) {
    const size_t runEnd = PlainRunEnd(t, p);
    out.append(t.substr(p, runEnd - p));
    p = runEnd;
    if (p == t.size()) break;
    if (t[p] != '"') {  // comma or line break
      if (!quoted) break;
      out.push_back(t[p++]);
    } else if (p + 1 < t.size() && t[p + 1] == '"') {
      out.push_back('"');
      p += 2;
    } else if (size_t after; IsClosingQuote(t, p, after)) {
      p = after;
      break;
    } else {
      out.push_back(t[p++]);
    }
  }
  if (p < t.size() && t[p] == ',') ++p;
  return p;
}

size_t SkipLineBreaks(std::string_view t, size_t p) {
  while (p < t.size() && IsLineBreak(t[p])) ++p;
  return p;
}

// Character-aligned: "ID" may hide in the second byte of a double-byte character.
bool NeedsQuotes(std::string_view cell) {
  for (size_t i = 0; i < cell.size(); ++i) {
    const char c = cell[i];
    if (IsLeadByte(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '"' || c == ',' || IsLineBreak(c) ||
               (c == 'I' && i + 1 < cell.size() && cell[i + 1] == 'D')) {
      return true;
    }
  }
  return false;
}

void AppendQuoted(std::string& out, std::string_view cell) {
  out.push_back('"');
  for (size_t i = 0; i < cell.size(); ++i) {
    const char c = cell[i];
    out.push_back(c);
    if (IsLeadByte(static_cast<unsigned char>(c))) {
      if (i + 1 < cell.size()) out.push_back(cell[++i]);
    } else if (c == '"') {
      out.push_back('"');
    }
  }
  out.push_back('"');
}

}  // namespace

void AppendCsvCell(std::string& out, std::string_view cell) {
  if (NeedsQuotes(cell)) {
    AppendQuoted(out, cell);
  } else {
    out.append(cell);
  }
}

void TCsvDbBase::LoadFromText(std::string_view text) {
  std::string rebuilt;
  if (!HasCrLfLines(text)) {
    rebuilt = RebuildLines(text);
    text = rebuilt;
  }
  TCsvDbBase table;
  std::string field;
  // Empty lines give no rows, leading ones included.
  size_t p = SkipLineBreaks(text, 0);
  std::vector<uint32_t>& order = table.WritableOrder();
  while (p < text.size()) {
    const uint32_t at = table.NewStorageRow();
    order.push_back(at);
    int cells = 0;
    for (; p < text.size() && !IsLineBreak(text[p]); ++cells) {
      p = ReadField(text, p, field);
      table.PutStored(cells, at, TrimBlank(field));
    }
    table.SetMeta(at, static_cast<uint32_t>(cells) + 1);
    p = SkipLineBreaks(text, p);
  }
  *this = std::move(table);
}

void TCsvDbBase::AppendRowText(std::string& out, int row, int cols) const {
  for (int c = 0; RowPresent(row) && c < cols; ++c) {
    if (c > 0) out.push_back(',');
    AppendCsvCell(out, GetCell(c, row));
  }
  out.append("\r\n");
}

std::string TCsvDbBase::SaveToText() const {
  const int cols = MaxColCount();
  std::string out;
  for (int r = 0; r < RowCount(); ++r) AppendRowText(out, r, cols);
  return out;
}

}  // namespace tonbo
