// A stand-in file manager on a private session bus: it owns
// org.freedesktop.FileManager1, writes the URIs of the first ShowItems call
// to the file named by its argument, one per line, and quits.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QObject>
#include <QTimer>

class FileManager1 : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
 public:
  explicit FileManager1(QString out) : out_(std::move(out)) {}

 public slots:
  void ShowItems(const QStringList& uris, const QString& startupId) {
    QFile file(out_ + ".part");
    if (file.open(QIODevice::WriteOnly)) {
      for (const QString& uri : uris) file.write(uri.toUtf8() + '\n');
      file.write("startup:" + startupId.toUtf8() + '\n');
      file.close();
      file.rename(out_);
    }
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  }

 private:
  QString out_;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  FileManager1 manager(QString::fromLocal8Bit(argv[1]));
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                          QDBusConnection::ExportAllSlots) ||
      !bus.registerService(QStringLiteral("org.freedesktop.FileManager1")))
    return 1;
  QTimer::singleShot(30000, &app, &QCoreApplication::quit);  // never outlive the test
  return app.exec();
}

#include "FakeFileManager.moc"
