# Precompiled headers: the standard library, Qt and the test frameworks are
# parsed once per kind of target instead of once per source file. A kind's
# header is compiled by a small donor target that other targets of the kind
# reuse, so the donor's compile definitions must be a subset of theirs (GCC
# drops a header built with other macros; -Winvalid-pch with -Werror makes
# that a build error rather than a quiet slowdown).
# TONBO_PRECOMPILE=OFF builds without them, which is how a missing #include
# shows (the sanitizer build does so).

set(TONBO_PCH_std
  <algorithm> <array> <cerrno> <cstdint> <cstdio> <cstdlib> <cstring> <functional>
  <map> <memory> <optional> <string> <string_view> <unordered_map> <utility> <vector>)
# Below the windows, for the libraries, their tests and the benchmarks.
set(TONBO_PCH_core ${TONBO_PCH_std} <QByteArray> <QString> <QStringList>)
set(TONBO_PCH_gtest ${TONBO_PCH_core} <set> <sstream> <gtest/gtest.h>)
set(TONBO_PCH_bench ${TONBO_PCH_core} <benchmark/benchmark.h>)
# The windows, the main window and their Qt Test programs.
set(TONBO_PCH_widgets ${TONBO_PCH_std}
  <QAction> <QApplication> <QCheckBox> <QComboBox> <QDialog> <QDir> <QFile> <QFileInfo>
  <QHBoxLayout> <QLabel> <QLineEdit> <QMainWindow> <QMenu> <QPainter> <QPointer>
  <QPushButton> <QString> <QStringList> <QTableView> <QTabWidget> <QTimer> <QUrl>
  <QVBoxLayout> <QWidget>)
# Its own per program: Qt Test defines the program's folder (QT_TESTCASE_BUILDDIR).
set(TONBO_PCH_qtest ${TONBO_PCH_widgets} <QTest>)
# Kinds whose users build without Qt's keyword macros (emit, signals, slots,
# foreach), which the header would otherwise bring to every file: code there
# uses those words as names, and GLib's headers do. Q_EMIT, Q_SIGNALS and
# Q_SLOTS still work.
set(TONBO_PCH_NO_KEYWORDS core gtest bench)

# tonbo_pch_donor(KIND LIBS ...): the target that compiles KIND's header, with
# the usage requirements of LIBS (the fewest every user of KIND has).
function(tonbo_pch_donor kind)
  if(NOT TONBO_PRECOMPILE)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  set(src ${CMAKE_CURRENT_BINARY_DIR}/tonbo_pch_${kind}.cpp)
  file(CONFIGURE OUTPUT ${src} CONTENT "// The ${kind} precompiled header's donor.\n")
  add_library(tonbo_pch_${kind} OBJECT ${src})
  # As Qt's targets do, which every user of a header is.
  set_target_properties(tonbo_pch_${kind} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_link_libraries(tonbo_pch_${kind} PRIVATE ${ARG_LIBS})
  target_precompile_headers(tonbo_pch_${kind} PRIVATE ${TONBO_PCH_${kind}})
  tonbo_pch_flags(tonbo_pch_${kind} ${kind})
endfunction()

# tonbo_use_pch(TARGET KIND): TARGET includes KIND's precompiled header, the
# donor's if there is one, else its own.
function(tonbo_use_pch target kind)
  if(NOT TONBO_PRECOMPILE)
    return()
  endif()
  if(TARGET tonbo_pch_${kind})
    target_precompile_headers(${target} REUSE_FROM tonbo_pch_${kind})
  else()
    target_precompile_headers(${target} PRIVATE ${TONBO_PCH_${kind}})
  endif()
  tonbo_pch_flags(${target} ${kind})
endfunction()

# What the donor and the users of KIND's header share.
function(tonbo_pch_flags target kind)
  target_compile_options(${target} PRIVATE -Winvalid-pch)
  if(kind IN_LIST TONBO_PCH_NO_KEYWORDS)
    target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS)
  endif()
endfunction()

# ccache caches a file built with a precompiled header only when told that
# the header's macros and time stamps may be ignored (no file reads __DATE__
# or __TIME__, and a file's own #defines are in its text, which is hashed).
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache" AND TONBO_PRECOMPILE)
  set(CMAKE_CXX_COMPILER_LAUNCHER
    env CCACHE_SLOPPINESS=pch_defines,time_macros ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
