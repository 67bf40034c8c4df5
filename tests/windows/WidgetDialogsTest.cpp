#include "windows/WidgetDialogs.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include "QtTestMain.h"
#include "windows/TextPrompt.h"
#include "windows/TfrmRecipeSteps.h"

namespace tonbo {

// Drives the real modal boxes: answers them from a timer once they are up.
class WidgetDialogsTest : public QObject {
  Q_OBJECT

  template <typename Fn>
  void WhenModal(Fn&& act) {
    QTimer::singleShot(0, this, [this, act] { Poll(act, 0); });
  }
  template <typename Fn>
  void Poll(Fn act, int tries) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal || tries > 200) {
      act(modal);
      return;
    }
    QTimer::singleShot(10, this, [this, act, tries] { Poll(act, tries + 1); });
  }

 private slots:
  void initTestCase() { InstallJapanese(); }

  void questionBoxSpeaksJapaneseAndAnswersNo() {
    WidgetDialogs dialogs;
    SetDialogs(&dialogs);
    QStringList buttons;
    QString title, text;
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box);
      title = box->windowTitle();
      text = box->text();
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      box->button(QMessageBox::No)->click();
    });
    QVERIFY(!AskYesNo(QStringLiteral("変更しますか？")));
    SetDialogs(nullptr);
    QCOMPARE(title, QStringLiteral("Tonbo"));
    QCOMPARE(text, QStringLiteral("変更しますか？"));
    QVERIFY2(buttons.join(',').contains(QStringLiteral("はい")), qPrintable(buttons.join(',')));
    QVERIFY2(buttons.join(',').contains(QStringLiteral("いいえ")), qPrintable(buttons.join(',')));
  }

  void yesNoCancelReturnsTheButton() {
    WidgetDialogs dialogs;
    SetDialogs(&dialogs);
    QString cancelText;
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box);
      cancelText = box->button(QMessageBox::Cancel)->text();
      box->button(QMessageBox::Cancel)->click();
    });
    QCOMPARE(AskYesNoCancel(QStringLiteral("保存しますか？")), Answer::Cancel);
    SetDialogs(nullptr);
    QVERIFY2(cancelText.contains(QStringLiteral("キャンセル")), qPrintable(cancelText));
  }

  void warningWithDetailsKeepsItsSizeAndScrollsTheNames() {
    WidgetDialogs dialogs;
    SetDialogs(&dialogs);
    QStringList names;
    for (int i = 0; i < 250; ++i) names << QStringLiteral("/home/user/写真/名前%1.jpg").arg(i);
    int height = 0;
    QString shownDetails;
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box);
      height = box->height();
      for (QTextEdit* area : box->findChildren<QTextEdit*>())
        if (area->isVisible()) shownDetails = area->toPlainText();
      box->button(QMessageBox::Ok)->click();
    });
    ShowWarningDetails(QStringLiteral("250個のファイル名は追加できません。"), names.join('\n'));
    SetDialogs(nullptr);
    QVERIFY2(height > 0 && height < 600, qPrintable(QString::number(height)));
    QCOMPARE(shownDetails, names.join('\n'));  // open at once, nothing to click
  }

  void textPromptGivesEditedTextOrPreset() {
    WidgetDialogs dialogs;
    SetDialogs(&dialogs);
    WhenModal([](QWidget* modal) {
      auto* prompt = qobject_cast<TextPrompt*>(modal);
      QVERIFY(prompt);
      auto* edit = prompt->findChild<QLineEdit*>("edtValue");
      QCOMPARE(edit->text(), QStringLiteral("元の名前"));
      edit->setText(QStringLiteral("新しい名前"));
      prompt->accept();
    });
    QCOMPARE(InputBox("Tonbo", "名前を入力", "元の名前"), QStringLiteral("新しい名前"));
    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    QCOMPARE(InputBox("Tonbo", "名前を入力", "元の名前"), QStringLiteral("元の名前"));
    SetDialogs(nullptr);
  }

  void warningUsesTheGivenCaption() {
    WidgetDialogs dialogs;
    SetDialogs(&dialogs);
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box);
      title = box->windowTitle();
      icon = box->icon();
      box->accept();
    });
    ShowWarning(QStringLiteral("注意"), QStringLiteral("確認"));
    SetDialogs(nullptr);
    QCOMPARE(title, QStringLiteral("確認"));
    QCOMPARE(icon, QMessageBox::Warning);
  }

  // The checked entries stay one unbroken run whatever is clicked; OK only with one.
  void recipeStepsKeepOneRunChecked() {
    WidgetDialogs dialogs;
    const QList<StepEntry> entries(5,
                                   StepEntry{QStringLiteral("連番"), {QStringLiteral("--renban")}});
    QList<StepRange> seen;
    bool okWhenEmpty = true;
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<TfrmRecipeSteps*>(modal);
      QVERIFY(dialog);
      auto* list = dialog->findChild<QTreeWidget*>("lstSteps");
      auto click = [&](int i, Qt::CheckState state) {
        list->topLevelItem(i)->setCheckState(0, state);
        seen << dialog->Range();
      };
      click(4, Qt::Checked);    // stretches the run to it
      click(2, Qt::Unchecked);  // in the middle: the entries after it go too
      click(1, Qt::Unchecked);
      okWhenEmpty = dialog->findChild<QPushButton*>("btnOk")->isEnabled();
      click(3, Qt::Checked);
      click(0, Qt::Checked);
      click(0, Qt::Unchecked);  // the first: only it goes
      dialog->accept();
    });
    StepRange range{1, 2};
    QVERIFY(dialogs.ChooseSteps(QStringLiteral("手順を保存"), entries, range));
    QCOMPARE(seen, (QList<StepRange>{{1, 4}, {1, 1}, {2, 1}, {3, 3}, {0, 3}, {1, 3}}));
    QVERIFY(!okWhenEmpty);
    QCOMPARE(range, (StepRange{1, 3}));
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::WidgetDialogsTest)
#include "WidgetDialogsTest.moc"
