#pragma once
#include <QApplication>
#include <QObject>
#include <QTest>

#include <functional>
#include <memory>

#include "TestEnv.h"

namespace tonbo::test {

// One Qt Test program holds every test class of its folder. Each class
// registers itself under its file's name; CTest runs one class per process
// (the file's name as the first argument), so each keeps its own
// application, settings and sandbox as a program of its own would.
using QtTestFactory = std::function<std::unique_ptr<QObject>()>;
bool RegisterQtTest(const char* file, QtTestFactory make);

}  // namespace tonbo::test

// Registers a Qt Test class of this file with the folder's program.
#define TONBO_QTEST_CLASS(TestClass)                                                     \
  namespace {                                                                            \
  [[maybe_unused]] const bool tonboQtTestRegistered = ::tonbo::test::RegisterQtTest(     \
      __FILE__, [] { return std::unique_ptr<QObject>(std::make_unique<TestClass>()); }); \
  }
