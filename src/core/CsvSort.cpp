// The three sorts. Each row's key is computed once; a top-down merge sort with
// selection sort on short ranges then orders row indices, and the row
// pointers are moved once at the end. The order, ties included, is exactly
// that of running the same merge sort on the rows themselves.
#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "common/Sjis.h"
#include "core/CsvDb.h"
#include "text/StrUnit.h"

namespace tonbo {
namespace {

// On equal keys: SortText and SortNumeric keep the left row first and pick
// the first smallest; SortNoCase takes the right row and the last smallest.
enum class Ties { kLeft, kRight };

template <class Key>
class IndexSorter {
 public:
  IndexSorter(const std::vector<Key>& keys, Ties ties) : keys_(keys), ties_(ties) {}

  std::vector<int> Order() {
    order_.resize(keys_.size());
    std::iota(order_.begin(), order_.end(), 0);
    scratch_.resize(order_.size());
    Sort(0, static_cast<int>(order_.size()) - 1);
    return std::move(order_);
  }

 private:
  bool Less(int a, int b) const { return keys_[a] < keys_[b]; }

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

  bool TakeLeft(int left, int right) const {
    return ties_ == Ties::kLeft ? !Less(right, left) : Less(left, right);
  }

  void Merge(int first, int m, int last) {
    int i = first, j = m + 1, k = first;
    while (i <= m && j <= last) {
      scratch_[k++] = TakeLeft(order_[i], order_[j]) ? order_[i++] : order_[j++];
    }
    while (i <= m) scratch_[k++] = order_[i++];
    while (j <= last) scratch_[k++] = order_[j++];
    std::copy(scratch_.begin() + first, scratch_.begin() + last + 1, order_.begin() + first);
  }

  bool Smaller(int candidate, int best) const {
    return ties_ == Ties::kLeft ? Less(candidate, best) : !Less(best, candidate);
  }

  void Select(int first, int last) {
    for (int p = first; p < last; ++p) {
      int best = p;
      for (int j = p + 1; j <= last; ++j) {
        if (Smaller(order_[j], order_[best])) best = j;
      }
      std::swap(order_[p], order_[best]);
    }
  }

  const std::vector<Key>& keys_;
  Ties ties_;
  std::vector<int> order_;
  std::vector<int> scratch_;
};

template <class Key>
std::vector<int> SortedOrder(const std::vector<Key>& keys, Ties ties) {
  return IndexSorter<Key>(keys, ties).Order();
}

// Letters A-Z to a-z; the second byte of a double-byte character is left alone.
std::string LowerAsciiLetters(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (enc::IsLeadByte(c)) {
      ++i;
    } else if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c + ('a' - 'A'));
    }
  }
  return out;
}

// Code page 932 keeps ASCII at the same codes, so plain ASCII skips the codec.
std::u16string DictionaryKey(std::string_view text) {
  const std::string lowered = LowerAsciiLetters(text);
  if (std::all_of(lowered.begin(), lowered.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return std::u16string(lowered.begin(), lowered.end());
  }
  return enc::Codec().ToUtf16(lowered);
}

}  // namespace

void TCsvDbBase::SortText(int col) {
  Compact();
  std::vector<std::string_view> keys;
  keys.reserve(static_cast<size_t>(RowCount()));
  for (int r = 0; r < RowCount(); ++r) keys.push_back(GetCell(col, r));
  Reorder(SortedOrder(keys, Ties::kLeft));
}

void TCsvDbBase::SortNumeric(int col) {
  Compact();
  std::vector<double> keys;
  keys.reserve(static_cast<size_t>(RowCount()));
  for (int r = 0; r < RowCount(); ++r) keys.push_back(StrToNumber(GetCell(col, r)));
  Reorder(SortedOrder(keys, Ties::kLeft));
}

void TCsvDbBase::SortByKeys(const std::vector<std::uint64_t>& keys) {
  // The keys are the rows' as they stand: no blank rows are dropped first.
  if (keys.size() != static_cast<size_t>(RowCount())) return;
  Reorder(SortedOrder(keys, Ties::kLeft));
}

void TCsvDbBase::SortNoCase(int col) {
  Compact();
  std::vector<std::u16string> keys;
  keys.reserve(static_cast<size_t>(RowCount()));
  for (int r = 0; r < RowCount(); ++r) keys.push_back(DictionaryKey(GetCell(col, r)));
  Reorder(SortedOrder(keys, Ties::kRight));
}

}  // namespace tonbo
