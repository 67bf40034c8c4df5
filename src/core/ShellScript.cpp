// The list as a POSIX sh script. The script is written for later: it checks
// every name itself when it runs (mv -n never replaces, and a file found at a
// target name is reported instead), so it never destroys a file even when
// the folder has changed since.
#include <string_view>
#include <vector>

#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/BatchWriter.h"
#include "core/RenameExecutor.h"
#include "core/RenamePlan.h"

namespace tonbo {
namespace {

const char kPrelude[] = R"(#!/bin/sh
# Tonbo自動生成シェルスクリプト
# 変換リストの名前変更を実行します。同じ名前のファイルは上書きしません（mv -n）。
# 削除対象のファイルはごみ箱へ移します（gio trash）。
# できなかった行をすべて表示し、一つでもあれば終了コード 1 で終わります。

failed=0

fail() {
  printf '%s行目：%s\n' "$1" "$2" >&2
  failed=1
}

exists() {
  [ -e "$1" ] || [ -L "$1" ]
}

# mv -n reports no error when it leaves a file in place, so the source must be gone.
move() {
  ! exists "$2" && mv -n -- "$1" "$2" && ! exists "$1"
}

# ren 行 元のパス 新しいパス
ren() {
  if ! exists "$2"; then fail "$1" "ファイルが見つかりません：$2"; return 1; fi
  if exists "$3"; then fail "$1" "同じ名前のファイルがあるので変更しません：$2 → $3"; return 1; fi
  move "$2" "$3" || fail "$1" "名前を変更できませんでした：$2 → $3"
}

# del 行 パス（もう無いファイルは削除済み）
del() {
  exists "$2" || return 0
  gio trash -- "$2" && ! exists "$2" || fail "$1" "ごみ箱に移動できませんでした：$2"
}

# ring 行 一時的な名前 パス1 パス2 …: それぞれ次のパスの名前に、最後は最初の名前になる
ring() {
  line=$1 park=$2
  shift 2
  for p in "$@"; do
    if ! exists "$p"; then fail "$line" "ファイルが見つかりません：$p"; return 1; fi
  done
  if ! move "$1" "$park"; then fail "$line" "名前を変更できませんでした：$1 → $park"; return 1; fi
  k=$#
  while [ "$k" -gt 1 ]; do
    eval "src=\${$k}"
    if [ "$k" -eq $# ]; then dst=$1; else eval "dst=\${$((k + 1))}"; fi
    if ! move "$src" "$dst"; then
      fail "$line" "名前を変更できませんでした：$src → $dst（入れ替えを元に戻します）"
      j=$((k + 1))
      while [ "$j" -le $# ]; do
        eval "src=\${$j}"
        if [ "$j" -eq $# ]; then dst=$1; else eval "dst=\${$((j + 1))}"; fi
        move "$dst" "$src" || fail "$line" "元に戻せませんでした：$dst → $src"
        j=$((j + 1))
      done
      move "$park" "$1" || fail "$line" "元に戻せませんでした：$park → $1"
      return 1
    fi
    k=$((k - 1))
  done
  move "$park" "$2" || fail "$line" "名前を変更できませんでした：$park → $2"
}

)";

// A word the shell takes literally: single quotes, and a quote inside as '\''.
std::string Quoted(std::string_view bytes) {
  std::string out = "'";
  for (char c : bytes) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

enum class Kind { Keep, Rename, Trash, Refused };

struct Row {
  Kind kind = Kind::Keep;
  std::string from, to;  // disk paths
  std::string reason;    // Refused
};

std::vector<Row> ScriptRows(const TCsvDb& table) {
  std::vector<Row> rows(static_cast<size_t>(table.RowCount()));
  for (int i = 0; i < table.RowCount(); ++i) {
    Row& r = rows[static_cast<size_t>(i)];
    const std::string src(table.GetCell(colPath, i));
    const std::string base(table.GetCell(colNewName, i));
    r.from = enc::SjisToDisk(src);
    if (base == DeleteMark()) {
      r.kind = Kind::Trash;
      continue;
    }
    const std::string newName = base + std::string(table.GetCell(colExt, i));
    if (ExtractFileName(src) == newName) continue;
    if (const RowProblem problem = RefusedName(newName); problem != RowProblem::None) {
      r.kind = Kind::Refused;
      r.reason = ReasonText(problem);
      continue;
    }
    r.kind = Kind::Rename;
    r.to = enc::SjisToDisk(ExtractFilePath(src)) + enc::SjisToDisk(newName);
  }
  return rows;
}

// Writes the rows in the order of the rename run, taking every step to
// succeed: a row whose target is held by a listed file that leaves comes
// after that file; a ring is one line when the list reaches its first row.
class ScriptWriter {
 public:
  explicit ScriptWriter(const std::vector<Row>& rows) : rows_(rows) {
    const size_t n = rows.size();
    std::vector<std::string_view> from(n), to(n);
    std::vector<char> leaves(n, 0);
    for (size_t i = 0; i < n; ++i) {
      from[i] = rows[i].from;
      if (rows[i].kind == Kind::Rename) to[i] = rows[i].to;
      leaves[i] = rows[i].kind == Kind::Rename || rows[i].kind == Kind::Trash;
    }
    plan_ = PlanRun(from, to, leaves);
    done_.assign(n, 0);
    brokenRing_.assign(plan_.cycles.size(), 0);
  }

  std::string Write() {
    text_ = kPrelude;
    for (char c : text_) line_ += c == '\n';
    for (cursor_ = 0; cursor_ < static_cast<int>(rows_.size()); ++cursor_) Visit(cursor_);
    text_ += "\nexit \"$failed\"\n";
    return std::move(text_);
  }

 private:
  void Line(const std::string& command, const std::string& args) {
    ++line_;
    text_ += command + " " + std::to_string(line_) + " " + args + "\n";
  }

  void Visit(int row) {
    const Row& r = rows_[static_cast<size_t>(row)];
    if (done_[static_cast<size_t>(row)] || r.kind == Kind::Keep) return;
    if (r.kind == Kind::Refused) {
      done_[static_cast<size_t>(row)] = 1;
      Line("fail", Quoted("名前を変更できません" + r.reason + "：" + r.from));
      return;
    }
    const int holder = plan_.holder[static_cast<size_t>(row)];
    if (holder >= 0 && !done_[static_cast<size_t>(holder)]) {
      const int ring = plan_.cycleOf[static_cast<size_t>(row)];
      if (ring >= 0 && !brokenRing_[static_cast<size_t>(ring)] &&
          plan_.cycles[static_cast<size_t>(ring)][0] == row)
        Ring(ring);
      return;  // otherwise it waits for its holder, which releases it
    }
    One(row);
    Release(row);
  }

  void One(int row) {
    const Row& r = rows_[static_cast<size_t>(row)];
    done_[static_cast<size_t>(row)] = 1;
    if (r.kind == Kind::Trash)
      Line("del", Quoted(r.from));
    else
      Line("ren", Quoted(r.from) + " " + Quoted(r.to));
  }

  void Ring(int cycle) {
    const std::vector<int>& ring = plan_.cycles[static_cast<size_t>(cycle)];
    brokenRing_[static_cast<size_t>(cycle)] = 1;
    const std::string& first = rows_[static_cast<size_t>(ring[0])].from;
    // A name of the ring's folder that nothing else in the list uses.
    std::string args = Quoted(ExtractFilePath(first) + ".tonbo-ring-" + std::to_string(ring[0]));
    for (int member : ring) {
      args += " " + Quoted(rows_[static_cast<size_t>(member)].from);
      done_[static_cast<size_t>(member)] = 1;
    }
    Line("ring", args);
    for (int member : ring) Release(member);
  }

  // The rows that waited for `row` and were passed over, then theirs.
  void Release(int row) {
    std::vector<int> ready;
    auto push = [&](int holder) {
      const int begin = plan_.waitStart[static_cast<size_t>(holder)];
      for (int k = plan_.waitStart[static_cast<size_t>(holder) + 1]; k-- > begin;) {
        const int w = plan_.waiting[static_cast<size_t>(k)];
        if (w < cursor_ && !done_[static_cast<size_t>(w)]) ready.push_back(w);
      }
    };
    push(row);
    while (!ready.empty()) {
      const int w = ready.back();
      ready.pop_back();
      if (done_[static_cast<size_t>(w)]) continue;
      One(w);
      push(w);
    }
  }

  const std::vector<Row>& rows_;
  RunPlan plan_;
  std::vector<char> done_, brokenRing_;
  std::string text_;
  int line_ = 0;
  int cursor_ = 0;
};

}  // namespace

std::string ShellScriptText(const TCsvDb& table) {
  const std::vector<Row> rows = ScriptRows(table);
  return ScriptWriter(rows).Write();
}

}  // namespace tonbo
