# Nearly every translation unit parses the same standard and Qt headers, which took more than half of
# the build. Each library parses them once into a precompiled header, and the test and benchmark
# programs (one source each) share their support library's. GCC only: the fuzz build (clang) compiles
# the core and a few targets.
option(TARDIGO_PCH "Precompile the standard and Qt headers every source includes" ON)

set(tardigo_core_pch_headers
    <algorithm> <functional> <memory> <optional> <vector>
    <QByteArray> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QObject> <QSet> <QString>
    <QStringList> <QVariant>)
set(tardigo_gui_pch_headers ${tardigo_core_pch_headers}
    <QAction> <QApplication> <QDialog> <QLabel> <QLayout> <QLineEdit> <QPainter> <QPushButton> <QWidget>)
set(tardigo_test_pch_headers <QTest> <QTemporaryDir> <QSignalSpy>)

function(tardigo_precompile target)
    if(TARDIGO_PCH AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_precompile_headers(${target} PRIVATE ${ARGN})
    endif()
endfunction()

# A one-source program uses the precompiled header of the library it is built on. GCC refuses a header
# built with other definitions (-Winvalid-pch, an error with -Werror), so the library must link what
# the program links, bar libraries that add only include folders, and lie in the program's folder
# (QtTest defines the folder a test is built in).
function(tardigo_reuse_precompiled target library)
    if(TARDIGO_PCH AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_precompile_headers(${target} REUSE_FROM ${library})
    endif()
endfunction()
