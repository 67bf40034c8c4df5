#pragma once
#include <QApplication>
#include <QLocale>
#include <QTest>

#include "TestEnv.h"

// Like QTEST_MAIN, but inside the sandboxed environment and a Japanese locale.
#define TONBO_QTEST_MAIN(TestClass)                                  \
  int main(int argc, char** argv) {                                  \
    tonbo::test::PrepareEnvironment();                               \
    QApplication app(argc, argv);                                    \
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan)); \
    TestClass tc;                                                    \
    return QTest::qExec(&tc, argc, argv);                            \
  }
