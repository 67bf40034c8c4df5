#include "commands/ContentKey.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstring>
#include <numeric>

#include "common/Sjis.h"
#include "common/Utf8.h"
#include "text/StrUnit.h"

namespace tonbo {
namespace {

bool IsLead(unsigned char c) { return enc::IsLeadByte(c); }

using enc::Utf8Length;
using enc::Utf8WellFormed;

std::vector<uint8_t> SjisLengths(std::string_view s) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < s.size();) {
    const uint8_t n = IsLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    out.push_back(n);
    i += n;
  }
  return out;
}

std::vector<uint8_t> Utf8Lengths(std::string_view s) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < s.size();) {
    const auto n = static_cast<uint8_t>(Utf8Length(static_cast<unsigned char>(s[i])));
    out.push_back(n);
    i += n;
  }
  return out;
}

using V16 = unsigned char __attribute__((vector_size(16)));

// ASCII capitals to small letters, 16 bytes a step.
void FoldAscii(const unsigned char* in, size_t n, unsigned char* out) {
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    V16 v;
    std::memcpy(&v, in + i, 16);
    const V16 capital = (V16)(v - 'A' < 26);  // all ones where a capital stands
    v += capital & 32;
    std::memcpy(out + i, &v, 16);
  }
  for (; i < n; ++i)
    out[i] = static_cast<unsigned char>(in[i] + (in[i] >= 'A' && in[i] <= 'Z' ? 32 : 0));
}

// The first place of needle (n >= 2 bytes) in hay: sixteen places a step
// are tested for the needle's first and last byte at once, and only where
// both stand are the bytes between compared. Faster than memmem for the
// short keys typed in the dialog, where memmem's set-up dominates.
const unsigned char* FindBytes(const unsigned char* hay, size_t size, const unsigned char* needle,
                               size_t n) {
  if (n > size) return nullptr;
  size_t i = 0;
#ifdef __SSE2__
  const __m128i first = _mm_set1_epi8(static_cast<char>(needle[0]));
  const __m128i last = _mm_set1_epi8(static_cast<char>(needle[n - 1]));
  for (; i + n - 1 + 16 <= size; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i + n - 1));
    auto mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
    for (; mask != 0; mask &= mask - 1) {
      const unsigned char* at = hay + i + __builtin_ctz(mask);
      if (std::memcmp(at + 1, needle + 1, n - 2) == 0) return at;
    }
  }
#endif
  return static_cast<const unsigned char*>(memmem(hay + i, size - i, needle, n));
}

}  // namespace

namespace content {

bool SjisBoundary(const unsigned char* bytes, size_t known, size_t p) {
  // After a byte that can only end a character a new one starts; a run of
  // lead bytes pairs up from there.
  size_t q = p;
  while (q > known && IsLead(bytes[q - 1])) --q;
  return (p - q) % 2 == 0;
}

bool Utf8Boundary(const unsigned char* bytes, size_t p, bool startsText) {
  if (bytes[p] >= 0xC0 || p == 0) return bytes[p] >= 0xC0 || startsText;
  const unsigned char before = bytes[p - 1];
  if (before < 0x80) return true;
  if (before >= 0xC0) return false;
  for (size_t n = 2; n <= 4 && n <= p; ++n) {
    const unsigned char lead = bytes[p - n];
    if (lead >= 0x80 && lead < 0xC0) continue;
    return Utf8Length(lead) == n && Utf8WellFormed(bytes + p - n, n, n);
  }
  return false;
}

bool IsUtf8(std::string_view text, bool cutAllowed) { return enc::IsUtf8(text, cutAllowed); }

}  // namespace content

TContentKey::TContentKey(std::string_view key, bool foldCase) : fold_(foldCase) {
  if (key.empty()) return;
  lineBreak_ = key.find_first_of("\r\n") != std::string_view::npos;
  const std::string lower(key);
  std::string upper = foldCase ? UpperStr(lower) : lower;
  if (upper.size() != lower.size()) upper = lower;
  std::vector<uint8_t> lengths = SjisLengths(lower);
  // A key ending in a lone lead byte would need a text ending in one, and
  // every line of the text ends in CR LF.
  const bool sjisUsable = !(lengths.back() == 1 && IsLead(static_cast<unsigned char>(key.back())));
  const std::string lower8 = enc::SjisToDisk(lower);
  const bool utf8Usable = content::IsUtf8(lower8, false);
  if (lower8 == lower) {
    // The same bytes in both encodings (ASCII, as a rule): one search, either boundary.
    const auto rules = static_cast<uint8_t>((sjisUsable ? kSjis : 0) | (utf8Usable ? kUtf8 : 0));
    if (rules != 0) AddForm(lower, upper, lengths, rules);
  } else {
    if (sjisUsable) AddForm(lower, upper, lengths, kSjis);
    if (utf8Usable) {
      std::string upper8 = enc::SjisToDisk(upper);
      std::vector<uint8_t> lengths8 = Utf8Lengths(lower8);
      if (Utf8Lengths(upper8) != lengths8) upper8 = lower8;
      AddForm(lower8, upper8, std::move(lengths8), kUtf8);
    }
  }
  BuildFold();
}

void TContentKey::AddForm(std::string lower, std::string upper, std::vector<uint8_t> lengths,
                          uint8_t rules) {
  maxLength_ = std::max(maxLength_, lower.size());
  forms_.push_back({std::move(lower), std::move(upper), {}, std::move(lengths), rules});
}

void TContentKey::BuildFold() {
  std::iota(map_.begin(), map_.end(), 0);
  fold_ = fold_ && std::any_of(forms_.begin(), forms_.end(),
                               [](const Form& f) { return f.lower != f.upper; });
  if (fold_) {
    // Classes of bytes that some key character's two forms put in the same
    // place; each byte maps to the smallest of its class.
    std::array<unsigned char, 256> parent;
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&](unsigned char b) {
      while (parent[b] != b) b = parent[b];
      return b;
    };
    asciiFold_ = true;
    for (const Form& f : forms_) {
      for (size_t i = 0; i < f.lower.size(); ++i) {
        const auto lo = static_cast<unsigned char>(f.lower[i]);
        const auto up = static_cast<unsigned char>(f.upper[i]);
        if (lo == up) continue;
        asciiFold_ = asciiFold_ && up >= 'A' && up <= 'Z' && lo == up + 32;
        const unsigned char a = root(lo), b = root(up);
        parent[std::max(a, b)] = std::min(a, b);
      }
    }
    for (int b = 0; b < 256; ++b) {
      map_[b] = asciiFold_ ? static_cast<unsigned char>(b + (b >= 'A' && b <= 'Z' ? 32 : 0))
                           : root(static_cast<unsigned char>(b));
    }
  }
  for (Form& f : forms_) {
    f.needle = f.lower;
    for (char& c : f.needle) c = static_cast<char>(map_[static_cast<unsigned char>(c)]);
  }
}

bool TContentKey::Occurs(const ContentWindow& w, std::vector<unsigned char>& scratch) const {
  if (forms_.empty() || w.stop <= w.from) return false;
  const size_t end = std::min(w.size, w.stop - 1 + maxLength_);
  if (end <= w.from) return false;
  const unsigned char* hay = w.bytes + w.from;
  if (fold_) {
    scratch.resize(end - w.from);
    if (asciiFold_) {
      FoldAscii(hay, scratch.size(), scratch.data());
    } else {
      for (size_t i = 0; i < scratch.size(); ++i) scratch[i] = map_[hay[i]];
    }
    hay = scratch.data();
  }
  for (const Form& f : forms_)
    if (FormOccurs(f, w, hay, w.from, end)) return true;
  return false;
}

// hay holds the (folded) bytes of positions hayStart..hayEnd-1.
bool TContentKey::FormOccurs(const Form& f, const ContentWindow& w, const unsigned char* hay,
                             size_t hayStart, size_t hayEnd) const {
  const size_t n = f.needle.size();
  const size_t end = std::min(hayEnd, w.stop - 1 + n);
  for (size_t p = hayStart; p + n <= end;) {
    const auto* needle = reinterpret_cast<const unsigned char*>(f.needle.data());
    const unsigned char* hit = n == 1 ? static_cast<const unsigned char*>(
                                            std::memchr(hay + (p - hayStart), needle[0], end - p))
                                      : FindBytes(hay + (p - hayStart), end - p, needle, n);
    if (!hit) return false;
    p = static_cast<size_t>(hit - hay) + hayStart;
    if (MatchesAt(f, w, p)) return true;
    ++p;
  }
  return false;
}

bool TContentKey::MatchesAt(const Form& f, const ContentWindow& w, size_t p) const {
  if (fold_) {
    // The byte map merges more than the key needs: compare by characters.
    const unsigned char* text = w.bytes + p;
    size_t k = 0;
    for (const uint8_t len : f.charLengths) {
      if (std::memcmp(text + k, f.lower.data() + k, len) != 0 &&
          std::memcmp(text + k, f.upper.data() + k, len) != 0)
        return false;
      k += len;
    }
  }
  return ((f.boundaries & kUtf8) && content::Utf8Boundary(w.bytes, p, w.startsFile)) ||
         ((f.boundaries & kSjis) && content::SjisBoundary(w.bytes, w.known, p));
}

}  // namespace tonbo
