#include <QApplication>
#include <QQuickItem>
#include <QQuickWidget>
#include <memory>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include "fullscreen.h"
#include "mainwindow.h"
#include "keypipe.h"
#include "screenshots.h"
#include "systemlog.h"

int main(int argc, char* argv[])
{
    // The GUI's other threads (the scene's loader, the bus) allocate little: they share one
    // heap arena beside the main one instead of each keeping one of its own (the C library's
    // default of eight per core is made for servers). MALLOC_ARENA_MAX still decides if set.
    if (!qEnvironmentVariableIsSet("MALLOC_ARENA_MAX"))
        mallopt(M_ARENA_MAX, 2);
    // A grab requested before the window exists is dropped instead of ending the process.
    if (qEnvironmentVariableIsSet("NEWGUI_SCREENSHOT_DIR"))
        std::signal(SIGUSR1, SIG_IGN);
    SystemLog::open();
    // The tool's display is driven at 72 dpi: a point is a pixel, which the scene's point
    // sizes (list entries, program line, code pieces) are made for.
    if (!qEnvironmentVariableIsSet("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "72");
    QApplication app(argc, argv);
    app.setOverrideCursor(Qt::BlankCursor);

    const QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(2) == QLatin1String("_enableCoreDump")) {
        struct rlimit limit;
        limit.rlim_cur = RLIM_INFINITY;
        limit.rlim_max = RLIM_INFINITY;
        setrlimit(RLIMIT_CORE, &limit);
    }
    // Qt 6 converts between byte strings and text as UTF-8 throughout.

    auto* window = new MainWindow();
    ScreenshotWriter screenshots(window->view());
    new KeyPipe(window->view());
    window->update();
    showOnDisplay(window, window->view());
    // Start-up measurement aid: report the first frame and end (1), or report it, stay at that
    // frame until a line (or the end) arrives on standard input and go on (2: the memory of
    // the first frame is read meanwhile, neither disturbed by the process tearing itself down
    // nor by the work that follows the first frame).
    if (const int report = qEnvironmentVariableIntValue("NEWGUI_EXIT_AFTER_FIRST_FRAME")) {
        afterFirstFrame(window->view(), [report] {
            std::printf("first frame\n");
            std::fflush(stdout);
            if (report == 1) {
                std::_Exit(0); // what the first frame took, not the tear-down after it
            } else if (report == 2) {
                char c = 0;
                while (::read(STDIN_FILENO, &c, 1) == 1 && c != '\n') {
                }
            }
        });
        // And the first complete frame: the header and the button bar in place.
        if (report == 2) {
            auto complete = std::make_shared<bool>(false);
            onEveryFrame(window->view(), [window, complete] {
                QQuickItem* root = window->rootItem();
                auto* header = root ? root->findChild<QQuickItem*>(QStringLiteral("header")) : nullptr;
                auto* bar = root ? root->findChild<QQuickItem*>(QStringLiteral("buttonBar")) : nullptr;
                if (*complete || !header || !bar || header->y() != 0 || bar->y() + bar->height() != 320
                    || !root->property("firstFrameShown").toBool())
                    return;
                *complete = true;
                std::printf("complete frame\n");
                std::fflush(stdout);
            });
        }
    }

    const int rc = app.exec();
    delete window;
    return rc;
}
