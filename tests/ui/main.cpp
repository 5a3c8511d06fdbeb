// Window tests need one QApplication for the whole program, and no display:
// the test list is also read at build time, where none may exist.
#include <QApplication>
#include <QDir>
#include <QSettings>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The per-user settings (recent files, directories, geometry) go to a
    // directory of this run, never to the user's own.
    const QByteArray settings = QDir::tempPath().toLocal8Bit() + "/tarnix-test-settings-" +
                                QByteArray::number(QCoreApplication::applicationPid());
    QApplication app(argc, argv);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromLocal8Bit(settings));
    QDir(QString::fromLocal8Bit(settings)).removeRecursively();
    QApplication::setApplicationDisplayName("XTARNIX");
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    QDir(QString::fromLocal8Bit(settings)).removeRecursively();
    return result;
}
