# Installs the build into PREFIX and checks that every file is in place.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
set(expected
  bin/tonbo
  bin/tonbo-cli
  share/tonbo/history.txt
  share/tonbo/doc/index.htm
  share/tonbo/tools/a.wav
  share/doc/tonbo/copyright
  share/doc/tonbo/changelog.gz
  share/man/man1/tonbo.1.gz
  share/man/man1/tonbo-cli.1.gz
  share/applications/org.tonbo.Tonbo.desktop
  share/metainfo/org.tonbo.Tonbo.metainfo.xml
  share/icons/hicolor/scalable/apps/org.tonbo.Tonbo.svg
  share/icons/hicolor/16x16/apps/org.tonbo.Tonbo.png
  share/icons/hicolor/48x48/apps/org.tonbo.Tonbo.png
  share/icons/hicolor/256x256/apps/org.tonbo.Tonbo.png)
foreach(f ${expected})
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
file(SIZE ${PREFIX}/share/icons/hicolor/256x256/apps/org.tonbo.Tonbo.png size)
if(size LESS 2000)
  message(FATAL_ERROR "the 256 px icon is empty (${size} bytes)")
endif()
execute_process(COMMAND ${VALIDATE} ${PREFIX}/share/applications/org.tonbo.Tonbo.desktop
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "installed desktop entry does not validate")
endif()
