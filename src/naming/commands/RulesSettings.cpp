#include "naming/commands/RulesSettings.h"

namespace tonbo {
namespace {
constexpr const char* kSection = "setting";
}

RenameRules LoadRenameRules(const TIniFileEx& ini) {
  RenameRules r;
  auto num = [&](const char* key, int& v) { v = ini.ReadInteger(kSection, key, v); };
  auto flag = [&](const char* key, bool& v) { v = ini.ReadBool(kSection, key, v); };
  auto text = [&](const char* key, std::string& v) { v = ini.ReadString(kSection, key, v); };
  num("spnRandomFrom", r.randomFrom);
  num("spnRandomTo", r.randomTo);
  flag("chkRandomLower", r.randomLower);
  flag("chkRandomUpper", r.randomUpper);
  flag("chkRandomNum", r.randomNum);
  flag("chkRandomSymbol", r.randomSymbol);
  flag("chkRandomHira", r.randomHira);
  flag("chkRandomKana", r.randomKana);
  num("spnRenbanLength.Value", r.renbanLength);
  text("edtRenbanHeader.Text", r.renbanHeader);
  text("edtRenbanFooter.Text", r.renbanFooter);
  num("cmbRenbanDate.ItemIndex", r.renbanDate);
  num("cmbRenbanOldName.ItemIndex", r.renbanOldName);
  num("grpRenbanPattern.ItemIndex", r.renbanPattern);
  num("cmbDateFormat.ItemIndex", r.dateFormat);
  num("spnDateKeta.Value", r.dateKeta);
  text("edtDateSplitter.Text", r.dateSplitter);
  text("edtDateHeader.Text", r.dateHeader);
  text("edtDateFooter.Text", r.dateFooter);
  num("spnRenbanStart", r.renbanStart);
  num("spnDateStart", r.dateStart);
  r.Clamp();
  return r;
}

void SaveRenameRules(const RenameRules& r, TIniFileEx& ini) {
  ini.SetDeferred(true);
  auto num = [&](const char* key, int v) { ini.WriteInteger(kSection, key, v); };
  auto flag = [&](const char* key, bool v) { ini.WriteBool(kSection, key, v); };
  auto text = [&](const char* key, const std::string& v) { ini.WriteString(kSection, key, v); };
  num("spnRandomFrom", r.randomFrom);
  num("spnRandomTo", r.randomTo);
  flag("chkRandomLower", r.randomLower);
  flag("chkRandomUpper", r.randomUpper);
  flag("chkRandomNum", r.randomNum);
  flag("chkRandomSymbol", r.randomSymbol);
  flag("chkRandomHira", r.randomHira);
  flag("chkRandomKana", r.randomKana);
  num("spnRenbanLength.Value", r.renbanLength);
  text("edtRenbanHeader.Text", r.renbanHeader);
  text("edtRenbanFooter.Text", r.renbanFooter);
  num("cmbRenbanDate.ItemIndex", r.renbanDate);
  num("cmbRenbanOldName.ItemIndex", r.renbanOldName);
  num("grpRenbanPattern.ItemIndex", r.renbanPattern);
  num("cmbDateFormat.ItemIndex", r.dateFormat);
  num("spnDateKeta.Value", r.dateKeta);
  text("edtDateSplitter.Text", r.dateSplitter);
  text("edtDateHeader.Text", r.dateHeader);
  text("edtDateFooter.Text", r.dateFooter);
  num("spnRenbanStart", r.renbanStart);
  num("spnDateStart", r.dateStart);
  ini.SetDeferred(false);
}

}  // namespace tonbo
