// The main of a folder's Qt Test program: runs the class named by the first
// argument (a test file's name without its folder and extension), or every
// class when none is named, inside the sandbox and a Japanese locale.
#include "QtTestMain.h"

#include <QApplication>
#include <QLocale>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "TestEnv.h"

namespace tonbo::test {
namespace {

std::map<std::string, QtTestFactory>& Registry() {
  static std::map<std::string, QtTestFactory> registry;
  return registry;
}

std::string Stem(const char* file) {
  std::string name = file;
  name = name.substr(name.find_last_of('/') + 1);
  return name.substr(0, name.find('.'));
}

}  // namespace

bool RegisterQtTest(const char* file, QtTestFactory make) {
  return Registry().emplace(Stem(file), std::move(make)).second;
}

}  // namespace tonbo::test

int main(int argc, char** argv) {
  using tonbo::test::Registry;
  tonbo::test::PrepareEnvironment();
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  std::vector<char*> args(argv, argv + argc);
  std::vector<std::string> chosen;
  if (args.size() > 1 && args[1][0] != '-') {
    chosen.push_back(args[1]);
    args.erase(args.begin() + 1);
  } else {
    for (const auto& entry : Registry()) chosen.push_back(entry.first);
  }
  int failed = 0;
  for (const std::string& name : chosen) {
    auto found = Registry().find(name);
    if (found == Registry().end()) {
      std::fprintf(stderr, "no test class in %s\n", name.c_str());
      return 2;
    }
    std::unique_ptr<QObject> tests = found->second();
    failed += QTest::qExec(tests.get(), static_cast<int>(args.size()), args.data());
  }
  return failed;
}
