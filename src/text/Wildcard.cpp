#include "text/Wildcard.h"

#include <algorithm>
#include <array>
#include <cassert>

#include "common/Sjis.h"

namespace tonbo {
namespace {

using State = TMask::State;
using Kind = TMask::Kind;

// At most this many parts may follow a "*"; the matcher's resume stack is
// sized by it.
constexpr int kMaxStarred = 30;

unsigned char Upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 0x20 : c; }

std::string MaskMessage(std::string_view mask, int position) {
  return std::to_string(position) + " 番目の文字（'" + enc::FromSjis(mask).toStdString() +
         "'）は正しくないマスク文字です";
}

// Turns the mask text into states, scanning it once from the start.
class MaskCompiler {
 public:
  explicit MaskCompiler(std::string_view mask) : mask_(mask) {}

  std::vector<State> Run() {
    while (pos_ < mask_.size()) Step();
    State end;
    end.kind = Kind::End;
    Add(end, mask_.size());
    return std::move(states_);
  }

 private:
  unsigned char At(size_t i) const { return static_cast<unsigned char>(mask_[i]); }

  [[noreturn]] void Fail(size_t index) const {
    throw EMaskException(mask_, static_cast<int>(std::min(index, mask_.size())) + 1);
  }

  // Writes a state; it takes up a pending star.
  void Add(State s, size_t at) {
    s.skip = star_;
    if (star_ && ++starred_ > kMaxStarred) Fail(at);
    star_ = false;
    states_.push_back(s);
  }

  void Step() {
    const unsigned char c = At(pos_);
    State s;
    if (c == '*') {
      star_ = true;
    } else if (c == '?') {
      // After a "*" a "?" adds nothing: "*?" is the same as "*".
      s.kind = Kind::AnyByte;
      if (!star_) Add(s, pos_);
    } else if (c == '[') {
      ReadSet();
      return;
    } else if (enc::IsLeadByte(c)) {
      s.byte = c;
      if (pos_ + 1 < mask_.size()) {
        s.kind = Kind::DoubleByte;
        s.trail = At(pos_ + 1);
        Add(s, pos_++);
      } else {
        s.kind = Kind::LoneLead;
        Add(s, pos_);
      }
    } else {
      s.kind = Kind::Literal;
      s.byte = Upper(c);
      Add(s, pos_);
    }
    ++pos_;
  }

  // From "[" to "]": single bytes and ranges; double-byte characters are
  // passed over, they cannot be members.
  void ReadSet() {
    const size_t start = pos_++;
    State s;
    s.kind = Kind::Set;
    if (pos_ < mask_.size() && At(pos_) == '!') s.negate = true, ++pos_;
    int previous = -1;
    for (;;) {
      if (pos_ >= mask_.size()) Fail(pos_);
      const unsigned char c = At(pos_);
      if (c == ']') break;
      if (enc::IsLeadByte(c)) {
        pos_ += 2;
      } else if (c == '-') {
        if (previous < 0 || ++pos_ >= mask_.size()) Fail(pos_);
        for (int b = previous; b <= Upper(At(pos_)); ++b) s.set.set(static_cast<size_t>(b));
        ++pos_;
      } else {
        previous = Upper(c);
        s.set.set(static_cast<size_t>(previous));
        ++pos_;
      }
    }
    if (s.set.none()) Fail(pos_);
    ++pos_;
    Add(s, start);
  }

  std::string_view mask_;
  size_t pos_ = 0;
  bool star_ = false;
  int starred_ = 0;
  std::vector<State> states_;
};

bool IsDoubleByte(const State& s) { return s.kind == Kind::DoubleByte || s.kind == Kind::LoneLead; }

// Bytes the state takes at p, or -1 when it does not match there.
int TestAt(const State& s, std::string_view t, size_t p) {
  const size_t n = t.size();
  auto byte = [&](size_t i) { return static_cast<unsigned char>(t[i]); };
  switch (s.kind) {
    case Kind::Literal:
      return p < n && Upper(byte(p)) == s.byte ? 1 : -1;
    case Kind::AnyByte:
      return p < n ? 1 : -1;
    case Kind::Set:
      return p < n && s.set.test(Upper(byte(p))) != s.negate ? 1 : -1;
    case Kind::DoubleByte:
      return p + 1 < n && byte(p) == s.byte && byte(p + 1) == s.trail ? 2 : -1;
    case Kind::LoneLead:
      return p + 1 == n && byte(p) == s.byte ? 1 : -1;
    case Kind::End:
      return p == n ? 0 : -1;
  }
  return -1;
}

// Positions already tried for a starred state. Reaching one again can only
// fail again, so the search stays linear in the text per star.
class TriedPositions {
 public:
  // Beyond this many bits (a file's contents under many stars) the search
  // goes without the memo rather than take the memory.
  static constexpr size_t kMaxBits = size_t{1} << 28;

  TriedPositions(int stars, size_t textLength) : stride_(textLength + 1) {
    const size_t words = (static_cast<size_t>(stars) * stride_ + 63) / 64;
    // Names reuse one buffer per thread; large texts get their own.
    thread_local std::vector<uint64_t> shared;
    bits_ = words <= 4096 ? &shared : &own_;
    bits_->assign(words, 0);
  }
  // Marks the position; false when it was marked before.
  bool Mark(int star, size_t p) {
    const size_t i = static_cast<size_t>(star) * stride_ + p;
    uint64_t& word = (*bits_)[i / 64];
    const uint64_t bit = uint64_t{1} << (i % 64);
    if (word & bit) return false;
    word |= bit;
    return true;
  }

 private:
  size_t stride_;
  std::vector<uint64_t> own_;
  std::vector<uint64_t>* bits_;
};

class Matcher {
 public:
  Matcher(const std::vector<State>& states, std::string_view text, TriedPositions* tried)
      : states_(states), text_(text), tried_(tried) {}

  bool Run() {
    size_t i = 0, p = 0;
    for (;;) {
      const State& s = states_[i];
      const int width = (s.skip && !Advance(i, p)) ? -1 : TestAt(s, text_, p);
      if (width >= 0) {
        if (s.kind == Kind::End) return true;
        p += static_cast<size_t>(width);
        ++i;
      } else if (!Resume(i, p)) {
        return false;
      }
    }
  }

 private:
  size_t Step(const State& s, size_t p) const {
    const bool wide = IsDoubleByte(s) && enc::IsLeadByte(static_cast<unsigned char>(text_[p]));
    return std::min(p + (wide ? 2 : 1), text_.size());
  }

  // Moves p to the first position where the starred state i can match and
  // leaves a resume point just past it. False when this was tried before.
  bool Advance(size_t i, size_t& p) {
    const State& s = states_[i];
    if (s.kind == Kind::End) {
      p = text_.size();
      return true;
    }
    for (; p < text_.size() && TestAt(s, text_, p) < 0; p = Step(s, p))
      if (tried_ && !tried_->Mark(s.star, p)) return false;
    if (tried_ && !tried_->Mark(s.star, p)) return false;
    if (p < text_.size()) Push(i, std::min(p + (IsDoubleByte(s) ? 2 : 1), text_.size()));
    return true;
  }

  void Push(size_t i, size_t p) {
    assert(depth_ < stack_.size());
    stack_[depth_++] = {i, p};
  }

  bool Resume(size_t& i, size_t& p) {
    if (depth_ == 0) return false;
    --depth_;
    i = stack_[depth_].first;
    p = stack_[depth_].second;
    return true;
  }

  const std::vector<State>& states_;
  std::string_view text_;
  TriedPositions* tried_;
  std::array<std::pair<size_t, size_t>, kMaxStarred> stack_{};
  size_t depth_ = 0;
};

}  // namespace

EMaskException::EMaskException(std::string_view mask, int position)
    : ETonboError(MaskMessage(mask, position)), mask_(mask), position_(position) {}

TMask::TMask(std::string_view mask) : states_(MaskCompiler(mask).Run()) {
  for (State& s : states_)
    if (s.skip && s.kind != Kind::End) s.star = static_cast<uint8_t>(skipStates_++);
}

bool TMask::Matches(std::string_view text) const {
  // With one starred state the resume points only move forward; the memo of
  // tried positions pays off from two on.
  const size_t bits = static_cast<size_t>(skipStates_) * (text.size() + 1);
  if (skipStates_ < 2 || bits > TriedPositions::kMaxBits)
    return Matcher(states_, text, nullptr).Run();
  TriedPositions tried(skipStates_, text.size());
  return Matcher(states_, text, &tried).Run();
}

bool WildcardMatch(std::string_view text, std::string_view mask) {
  return TMask(mask).Matches(text);
}

}  // namespace tonbo
