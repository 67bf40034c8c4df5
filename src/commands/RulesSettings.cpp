#include "commands/RulesSettings.h"

#include <variant>

namespace tonbo {
namespace {

constexpr const char* kSection = "setting";

// Every setting with its key, in the order they are read and written.
struct Field {
  const char* key;
  std::variant<int RenameRules::*, bool RenameRules::*, std::string RenameRules::*> member;
};

const Field kFields[] = {
    {"spnRandomFrom", &RenameRules::randomFrom},
    {"spnRandomTo", &RenameRules::randomTo},
    {"chkRandomLower", &RenameRules::randomLower},
    {"chkRandomUpper", &RenameRules::randomUpper},
    {"chkRandomNum", &RenameRules::randomNum},
    {"chkRandomSymbol", &RenameRules::randomSymbol},
    {"chkRandomHira", &RenameRules::randomHira},
    {"chkRandomKana", &RenameRules::randomKana},
    {"spnRenbanLength.Value", &RenameRules::renbanLength},
    {"edtRenbanHeader.Text", &RenameRules::renbanHeader},
    {"edtRenbanFooter.Text", &RenameRules::renbanFooter},
    {"cmbRenbanDate.ItemIndex", &RenameRules::renbanDate},
    {"cmbRenbanOldName.ItemIndex", &RenameRules::renbanOldName},
    {"grpRenbanPattern.ItemIndex", &RenameRules::renbanPattern},
    {"cmbDateFormat.ItemIndex", &RenameRules::dateFormat},
    {"spnDateKeta.Value", &RenameRules::dateKeta},
    {"edtDateSplitter.Text", &RenameRules::dateSplitter},
    {"edtDateHeader.Text", &RenameRules::dateHeader},
    {"edtDateFooter.Text", &RenameRules::dateFooter},
    {"spnRenbanStart", &RenameRules::renbanStart},
    {"spnDateStart", &RenameRules::dateStart},
    {"cmbDateSource.ItemIndex", &RenameRules::dateSource},
};

template <class... Fns>
struct Visit : Fns... {
  using Fns::operator()...;
};
template <class... Fns>
Visit(Fns...) -> Visit<Fns...>;

}  // namespace

RenameRules LoadRenameRules(const TIniFileEx& ini) {
  RenameRules r;
  for (const Field& f : kFields) {
    std::visit(
        Visit{[&](int RenameRules::*m) { r.*m = ini.ReadInteger(kSection, f.key, r.*m); },
              [&](bool RenameRules::*m) { r.*m = ini.ReadBool(kSection, f.key, r.*m); },
              [&](std::string RenameRules::*m) { r.*m = ini.ReadString(kSection, f.key, r.*m); }},
        f.member);
  }
  r.Clamp();
  return r;
}

void SaveRenameRules(const RenameRules& r, TIniFileEx& ini) {
  ini.SetDeferred(true);
  for (const Field& f : kFields) {
    std::visit(Visit{[&](int RenameRules::*m) { ini.WriteInteger(kSection, f.key, r.*m); },
                     [&](bool RenameRules::*m) { ini.WriteBool(kSection, f.key, r.*m); },
                     [&](std::string RenameRules::*m) { ini.WriteString(kSection, f.key, r.*m); }},
               f.member);
  }
  ini.SetDeferred(false);
}

std::vector<const char*> RenameRulesKeys() {
  std::vector<const char*> keys;
  for (const Field& f : kFields) keys.push_back(f.key);
  return keys;
}

}  // namespace tonbo
