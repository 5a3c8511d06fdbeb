// tarnix: the GUI program. Creates the session's windows, loads the defaults and
// runs the event loop; --dump-ui prints the windows instead of showing them.
#include "core/session.h"
#include "ui/dump_ui.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"

#include <QApplication>
#include <QRect>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

const char* const kUsage =
    "Usage: tarnix [OPTION] [DATA-FILE]\n"
    "View and process high-resolution marine seismic profiles.\n"
    "\n"
    "  DATA-FILE    a line to open at start (.sgy/.seg, .d02, .d05, .txt, .bin, .bmp, .xtf,\n"
    "               SEG-2 .sg2/.seg2/.dat)\n"
    "  --demo       open the built-in demo line and process it\n"
    "  --dump-ui    print every window's widget tree as JSON and exit (needs no display)\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Settings are kept in $HOME/.tarnix_defaults (File > Save Config.).\n"
    "For batch runs without a display use tarnix-run.\n";

bool envSet(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

} // namespace

int main(int argc, char** argv) {
    bool dumpUi = false;
    bool demo = false;
    std::string dataFile;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!std::strcmp(a, "--version")) {
            std::printf("tarnix %s\n", TARNIX_VERSION);
            return 0;
        }
        if (!std::strcmp(a, "--dump-ui")) {
            dumpUi = true;
        } else if (!std::strcmp(a, "--demo")) {
            demo = true;
        } else if (a[0] == '-' && a[1] == '-') {
            std::fprintf(stderr, "tarnix: unknown option %s\n%s", a, kUsage);
            return 2;
        } else if (dataFile.empty()) {
            dataFile = a;
        } else {
            std::fprintf(stderr, "tarnix: only one data file can be opened at start\n");
            return 2;
        }
    }

    if (dumpUi && !envSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!dumpUi && !envSet("DISPLAY") && !envSet("WAYLAND_DISPLAY") && !envSet("QT_QPA_PLATFORM")) {
        std::fputs("tarnix: no X display (DISPLAY is not set), so no window can be shown.\n"
                   "Start it from a desktop session or under xvfb-run; for batch runs without "
                   "a display use tarnix-run.\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("tarnix");
    QApplication::setApplicationVersion(TARNIX_VERSION);
    QApplication::setApplicationDisplayName("XTARNIX");

    auto session = std::make_unique<tarnix::Session>();
    tarnix::Windows windows = tarnix::createWindows(*session);
    std::unique_ptr<tarnix::TTarnixForm> mainWindow(windows.TarnixForm);
    mainWindow->INIT_VARIABLES();

    if (dumpUi) {
        const QByteArray json = tarnix::dumpUiJson(windows);
        std::fwrite(json.constData(), 1, static_cast<size_t>(json.size()), stdout);
        return 0;
    }

    // Centred first, so that leaving the maximized state puts it in the middle.
    QRect frame(QPoint(), mainWindow->size());
    frame.moveCenter(QGuiApplication::primaryScreen()->availableGeometry().center());
    mainWindow->move(frame.topLeft());
    // The last session's geometry and state win over the designed first look.
    const bool restored = mainWindow->restoreWindowState();
    if (restored)
        mainWindow->show();
    else
        mainWindow->showMaximized();
    // Without a window manager nobody maximizes it; fill the screen ourselves.
    if (!restored)
        QTimer::singleShot(300, mainWindow.get(), [&mainWindow] {
            const QRect screen = mainWindow->screen()->availableGeometry();
            if (mainWindow->frameGeometry().width() < screen.width() * 9 / 10)
                mainWindow->setGeometry(screen);
        });
    if (demo && !dataFile.empty()) {
        std::fputs("tarnix: --demo takes the place of a data file\n", stderr);
        return 2;
    }
    if (demo) QTimer::singleShot(0, mainWindow.get(), [&mainWindow] { mainWindow->startDemo(); });
    if (!dataFile.empty()) {
        const QString path = QString::fromLocal8Bit(dataFile.c_str());
        QTimer::singleShot(0, mainWindow.get(),
                           [&mainWindow, path] { mainWindow->openDataFile(path); });
    }
    return app.exec();
}
