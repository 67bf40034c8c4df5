// The list as a POSIX sh script. The script is written for later: it checks
// every name itself when it runs (mv -n never replaces, and a file found at a
// target name is reported instead), so it never destroys a file even when
// the folder has changed since.
#include <string_view>
#include <vector>

#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/BatchWriter.h"
#include "core/PlanWalk.h"
#include "core/RenameExecutor.h"

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

struct Row {
  RowKind kind = RowKind::Keep;
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
    if (table.MarkedForDeletion(i)) {
      r.kind = RowKind::Trash;
      continue;
    }
    const std::string newName = base + std::string(table.GetCell(colExt, i));
    if (ExtractFileName(src) == newName) continue;
    if (const RowProblem problem = RefusedName(newName); problem != RowProblem::None) {
      r.kind = RowKind::Refused;
      r.reason = ReasonText(problem);
      continue;
    }
    r.kind = RowKind::Rename;
    r.to = enc::SjisToDisk(ExtractFilePath(src)) + enc::SjisToDisk(newName);
  }
  return rows;
}

// Writes the rows in the order of the rename run (PlanWalk), taking every
// step to succeed.
class ScriptWriter : private PlanSteps {
 public:
  explicit ScriptWriter(const std::vector<Row>& rows) : rows_(rows) {
    const size_t n = rows.size();
    std::vector<std::string_view> from(n), to(n);
    std::vector<char> leaves(n, 0);
    for (size_t i = 0; i < n; ++i) {
      from[i] = rows[i].from;
      if (rows[i].kind == RowKind::Rename) to[i] = rows[i].to;
      leaves[i] =
          static_cast<char>(rows[i].kind == RowKind::Rename || rows[i].kind == RowKind::Trash);
    }
    walk_ = PlanWalk(PlanRun(from, to, leaves));
  }

  std::string Write() {
    text_ = kPrelude;
    for (char c : text_) line_ += c == '\n';
    walk_.Walk(*this);
    text_ += "\nexit \"$failed\"\n";
    return std::move(text_);
  }

 private:
  const Row& At(int row) const { return rows_[static_cast<size_t>(row)]; }
  void Line(const std::string& command, const std::string& args) {
    ++line_;
    text_ += command + " " + std::to_string(line_) + " " + args + "\n";
  }

  RowKind KindOf(int row) const override { return At(row).kind; }
  void Refused(int row) override {
    Line("fail", Quoted("名前を変更できません" + At(row).reason + "：" + At(row).from));
  }
  void Rename(int row) override {
    walk_.Done(row);
    Line("ren", Quoted(At(row).from) + " " + Quoted(At(row).to));
  }
  void Trash(int row) override {
    walk_.Done(row);
    Line("del", Quoted(At(row).from));
  }
  bool Ring(int cycle) override {
    const std::vector<int>& ring = walk_.Plan().cycles[static_cast<size_t>(cycle)];
    // A name of the ring's folder that nothing else in the list uses.
    std::string args =
        Quoted(ExtractFilePath(At(ring[0]).from) + ".tonbo-ring-" + std::to_string(ring[0]));
    for (int member : ring) {
      args += " " + Quoted(At(member).from);
      walk_.Done(member);
    }
    Line("ring", args);
    return true;
  }

  const std::vector<Row>& rows_;
  PlanWalk walk_;
  std::string text_;
  int line_ = 0;
};

}  // namespace

std::string ShellScriptText(const TCsvDb& table) {
  const std::vector<Row> rows = ScriptRows(table);
  return ScriptWriter(rows).Write();
}

}  // namespace tonbo
