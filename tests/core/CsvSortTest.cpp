// The three sorts, checked against a slow literal merge sort on row objects.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/Sjis.h"
#include "core/CsvDb.h"
#include "text/StrUnit.h"

namespace tonbo {
namespace {

using Texts = std::vector<std::string>;

TCsvDb TableOf(const Texts& column) {
  TCsvDb t;
  for (size_t r = 0; r < column.size(); ++r) t.SetCell(0, static_cast<int>(r), column[r]);
  return t;
}

Texts ColumnOf(const TCsvDb& t) {
  Texts out;
  for (int r = 0; r < t.RowCount(); ++r) out.emplace_back(t.GetCell(0, r));
  return out;
}

enum class Kind { kText, kNumeric, kNoCase };

// The sort exactly as documented: row objects moved through a scratch table,
// every comparison reading and converting both cells afresh.
class LiteralSort {
 public:
  LiteralSort(TCsvDb& table, int col, Kind kind) : t_(table), col_(col), kind_(kind) {}

  void Run() {
    t_.Compact();
    Sort(0, t_.RowCount() - 1);
  }

 private:
  static int Sign(int v) { return (v > 0) - (v < 0); }

  static int CompareBytes(const std::string& a, const std::string& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
      const int d = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
      if (d != 0) return Sign(d);
    }
    return Sign(static_cast<int>(a.size()) - static_cast<int>(b.size()));
  }

  static std::u16string Dictionary(std::string s) {
    for (size_t i = 0; i < s.size(); ++i) {
      if (enc::IsLeadByte(static_cast<unsigned char>(s[i]))) {
        ++i;
      } else if (s[i] >= 'A' && s[i] <= 'Z') {
        s[i] = static_cast<char>(s[i] + 32);
      }
    }
    return enc::Codec().ToUtf16(s);
  }

  static int CompareUnits(const std::u16string& a, const std::u16string& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
      if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    return Sign(static_cast<int>(a.size()) - static_cast<int>(b.size()));
  }

  int Compare(const RowPtr& left, const RowPtr& right) const {
    const std::string a = left ? left->Get(col_) : "";
    const std::string b = right ? right->Get(col_) : "";
    switch (kind_) {
      case Kind::kText:
        return CompareBytes(a, b);
      case Kind::kNumeric: {
        const double x = StrToNumber(a), y = StrToNumber(b);
        return x < y ? -1 : (x > y ? 1 : 0);
      }
      case Kind::kNoCase:
        return CompareUnits(Dictionary(a), Dictionary(b));
    }
    return 0;
  }

  void Sort(int first, int last) {
    if (last - first < 20) {
      Select(first, last);
      return;
    }
    const int m = first / 2 + last / 2;
    Sort(first, m);
    Sort(m + 1, last);
    Merge(first, m, last);
  }

  void Merge(int first, int m, int last) {
    TCsvDb scratch;
    int i = first, j = m + 1, k = 0;
    while (i <= m && j <= last) {
      const int c = Compare(t_.GetRow(i), t_.GetRow(j));
      const bool takeLeft = kind_ == Kind::kNoCase ? c < 0 : c <= 0;
      scratch.PutRow(k++, takeLeft ? t_.GetRow(i++) : t_.GetRow(j++));
    }
    while (i <= m) scratch.PutRow(k++, t_.GetRow(i++));
    while (j <= last) scratch.PutRow(k++, t_.GetRow(j++));
    for (int n = 0; n < k; ++n) t_.PutRow(first + n, scratch.GetRow(n));
  }

  void Select(int first, int last) {
    for (int p = first; p < last; ++p) {
      int best = p;
      for (int j = p + 1; j <= last; ++j) {
        const int c = Compare(t_.GetRow(j), t_.GetRow(best));
        if (kind_ == Kind::kNoCase ? c <= 0 : c < 0) best = j;
      }
      RowPtr swap = t_.GetRow(p);
      t_.PutRow(p, t_.GetRow(best));
      t_.PutRow(best, swap);
    }
  }

  TCsvDb& t_;
  int col_;
  Kind kind_;
};

void FastSort(TCsvDb& t, int col, Kind kind) {
  switch (kind) {
    case Kind::kText:
      return t.SortText(col);
    case Kind::kNumeric:
      return t.SortNumeric(col);
    case Kind::kNoCase:
      return t.SortNoCase(col);
  }
}

// Few distinct keys, so most comparisons are ties for at least one sort:
// case pairs, full-width and half-width numbers, kana whose second byte is a
// capital letter, texts that read as the same number.
const Texts kKeys = {"",         "a",        "A",        "b",        "B",         "ab",
                     "aB",       "Ab",       "~",        "\\",       "_",         "Z",
                     "z",        "1",        "\x82\x50", "1.0",      "01",        "10",
                     "9",        "1,000",    "1000",     "-1",       "3.5e2",     "350",
                     "$FF",      "255",      " 255",     ".",        "1e5",       "\x82\xa0",
                     "\x83\x41", "\x83\x61", "\x82\x60", "\x82\x81", "a\x83\x41", "A\x83\x41",
                     "\x88\xea", "\x88\x9f", "\x95\x5c", "\xb1",     "x\x7f"};

// Rows of a key and an id, with absent rows sprinkled in (some at the ends,
// which the sort's compaction removes).
TCsvDb RandomTable(std::mt19937& rng, int rows) {
  TCsvDb t;
  for (int r = 0; r < rows; ++r) {
    if (rng() % 13 == 0) {
      t.PutRow(r, nullptr);
      continue;
    }
    t.SetCell(0, r, kKeys[rng() % kKeys.size()]);
    t.SetCell(1, r, "id" + std::to_string(r));
  }
  return t;
}

class SortAgainstReference : public ::testing::TestWithParam<Kind> {};

TEST_P(SortAgainstReference, SameRowOrderTiesIncluded) {
  std::mt19937 rng(7);
  for (int rows : {0, 1, 2, 19, 20, 21, 22, 39, 40, 41, 42, 63, 64, 100, 257, 1000, 2500}) {
    for (int round = 0; round < 3; ++round) {
      TCsvDb fast = RandomTable(rng, rows);
      TCsvDb slow = fast;
      FastSort(fast, 0, GetParam());
      LiteralSort(slow, 0, GetParam()).Run();
      ASSERT_EQ(fast.RowCount(), slow.RowCount()) << rows;
      for (int r = 0; r < fast.RowCount(); ++r) {
        // Column 1 holds each row's id, so ties are told apart.
        ASSERT_EQ(fast.RowPresent(r), slow.RowPresent(r)) << "rows " << rows << ", position " << r;
        ASSERT_EQ(fast.GetCell(1, r), slow.GetCell(1, r)) << "rows " << rows << ", position " << r;
        ASSERT_EQ(fast.GetCell(0, r), slow.GetCell(0, r)) << "rows " << rows << ", position " << r;
      }
    }
  }
}

std::string KindName(const ::testing::TestParamInfo<Kind>& info) {
  switch (info.param) {
    case Kind::kText:
      return "Text";
    case Kind::kNumeric:
      return "Numeric";
    case Kind::kNoCase:
      return "NoCase";
  }
  return "";
}

INSTANTIATE_TEST_SUITE_P(Sorts, SortAgainstReference,
                         ::testing::Values(Kind::kText, Kind::kNumeric, Kind::kNoCase), KindName);

struct SortCase {
  const char* name;
  Kind kind;
  Texts before;
  Texts after;
};

class SortExample : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortExample, GivesThisOrder) {
  TCsvDb t = TableOf(GetParam().before);
  FastSort(t, 0, GetParam().kind);
  EXPECT_EQ(ColumnOf(t), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, SortExample,
    ::testing::Values(
        SortCase{"numeric_reads_separators_and_full_width",
                 Kind::kNumeric,
                 {"10", "9", "1,000", "\x82\x60\x82\x61"},
                 {"\x82\x60\x82\x61", "9", "10", "1,000"}},
        SortCase{"text_capitals_first", Kind::kText, {"a", "B"}, {"B", "a"}},
        SortCase{"text_by_bytes", Kind::kText, {"\x88\xea", "\x88\x9f"}, {"\x88\x9f", "\x88\xea"}},
        SortCase{"nocase_ignores_ascii_case", Kind::kNoCase, {"B", "a"}, {"a", "B"}},
        SortCase{
            "nocase_by_utf16", Kind::kNoCase, {"\x88\x9f", "\x88\xea"}, {"\x88\xea", "\x88\x9f"}},
        SortCase{"nocase_keeps_capital_second_bytes",
                 Kind::kNoCase,
                 {"\x83\x41", "\x83\x61"},
                 {"\x83\x41", "\x83\x61"}},
        SortCase{"nocase_tie_takes_the_last_smallest", Kind::kNoCase, {"a", "A"}, {"A", "a"}},
        SortCase{"numeric_ties_keep_order",
                 Kind::kNumeric,
                 {"1", "\x82\x50", "01"},
                 {"1", "\x82\x50", "01"}},
        SortCase{
            "blank_rows_at_the_ends_go", Kind::kText, {" ", "b", "", "a", "\t"}, {"", "a", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tonbo
