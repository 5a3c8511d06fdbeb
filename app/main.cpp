#include <QApplication>
#include <QMainWindow>
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle("Tarnix ver 1.2 (Morvel)");
    w.show();
    return app.exec();
}
