#pragma once
// Small makers for the controls the dialogs build in code: each control gets
// the name the program knows it by and its caption from a UTF-8 literal.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QString>

namespace tonbo::ui {

inline QString U(const char* utf8) { return QString::fromUtf8(utf8); }

inline QLabel* Text(QWidget* parent, const char* utf8) { return new QLabel(U(utf8), parent); }

inline QLineEdit* Edit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

inline QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
  auto* check = new QCheckBox(U(caption), parent);
  check->setObjectName(QString::fromLatin1(name));
  return check;
}

}  // namespace tonbo::ui
