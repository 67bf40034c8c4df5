// Tonbo: start the application and its main window.
#include <QApplication>
#include <QFont>

#include <string>
#include <vector>

#include "app/FileTypes.h"
#include "app/TfrmMain.h"
#include "app/TonboLogo.h"
#include "common/Folders.h"
#include "platform/EffectSound.h"
#include "windows/WidgetDialogs.h"

int main(int argc, char** argv) {
  tonbo::platform::UseGStreamerMedia();  // before any media object exists
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tonbo"));
  tonbo::InstallJapanese();
  tonbo::SetUpIconTheme();
  tonbo::SetUpProgramIdentity();
  QFont font;
  font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("IPAGothic")});
  font.setPointSize(9);
  QApplication::setFont(font);

  tonbo::WidgetDialogs dialogs;
  tonbo::SetDialogs(&dialogs);
  tonbo::TfrmMain frmMain(nullptr, std::make_unique<tonbo::MimeFileTypeSource>(),
                          tonbo::SettingsPathDisk());
  dialogs.SetOwner(&frmMain);
  // Every argument is a file or folder to list, as the desktop hands them over.
  frmMain.StartUp(std::vector<std::string>(argv + 1, argv + argc),
                  QGuiApplication::queryKeyboardModifiers());
  frmMain.show();
  int result = app.exec();
  tonbo::SetDialogs(nullptr);
  return result;
}
