// Window tests need one QApplication for the whole program, and no display:
// the test list is also read at build time, where none may exist.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("XTARNIX");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
