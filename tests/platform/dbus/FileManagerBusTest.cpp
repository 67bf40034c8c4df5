// The file manager over D-Bus, against a stand-in service on a private bus
// (run under dbus-run-session), and the fallback when nothing answers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QThread>

#include "RecordingLauncher.h"
#include "TestEnv.h"
#include "platform/FileManager.h"

namespace tonbo::platform {
namespace {

// Records what is opened but asks the real bus for the file manager.
class BusLauncher : public test::RecordingLauncher {
 public:
  bool ShowItems(const QStringList& uris) override { return Launcher::ShowItems(uris); }
};

bool BusUp() { return QDBusConnection::sessionBus().isConnected(); }

bool WaitFor(const std::function<bool()>& ready) {
  for (int i = 0; i < 500; ++i) {
    if (ready()) return true;
    QThread::msleep(10);
  }
  return false;
}

TEST(FileManagerBusTest, WithoutAServiceTheFolderOpens) {
  BusLauncher launcher;
  const std::string dir = test::MakeTempDir("fm");
  EXPECT_FALSE(ShowItemsOverDBus({"file:///x"}));
  EXPECT_EQ(ShowInFileManager(dir + "a.txt"), ShownIn::Folder);
  ASSERT_EQ(launcher.opened.size(), 1u);
  EXPECT_EQ(launcher.opened[0].toLocalFile().toStdString(), dir);
  launcher.answer = false;
  EXPECT_EQ(ShowInFileManager(dir + "a.txt"), ShownIn::Nothing);
}

TEST(FileManagerBusTest, ShowItemsGetsTheFileUri) {
  if (!BusUp()) GTEST_SKIP() << "no session bus (run under dbus-run-session)";
  const std::string dir = test::MakeTempDir("fm");
  const std::string out = dir + "calls.txt";
  QProcess service;
  service.start(QStringLiteral(TONBO_FAKE_FILE_MANAGER), {QString::fromStdString(out)});
  ASSERT_TRUE(service.waitForStarted());
  ASSERT_TRUE(WaitFor([] {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(
        QStringLiteral("org.freedesktop.FileManager1"));
  }));
  BusLauncher launcher;
  const std::string file = dir + "写真 #1.jpg";
  EXPECT_EQ(ShowInFileManager(file), ShownIn::FileManager);
  EXPECT_TRUE(launcher.opened.empty());
  ASSERT_TRUE(WaitFor([&] { return access(out.c_str(), F_OK) == 0; }));
  EXPECT_EQ(test::ReadFile(out), "file://" + dir + "%E5%86%99%E7%9C%9F%20%231.jpg\nstartup:\n");
  service.waitForFinished(5000);
}

}  // namespace
}  // namespace tonbo::platform

int main(int argc, char** argv) {
  tonbo::test::PrepareEnvironment();
  QCoreApplication app(argc, argv);  // the bus connection needs one
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
