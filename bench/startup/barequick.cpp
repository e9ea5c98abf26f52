// A bare Qt Quick window in a QQuickWidget: the floor for the GUI's start-up time and memory.
// It gets every start-up measure the GUI takes that is not about the GUI's own scene: the heap
// arenas, the font resolution, fontconfig's short configuration, the same library order (see
// CMakeLists.txt) and the frame without the widget's batching delay.
#include <QApplication>
#include <QQmlEngine>
#include <QQmlComponent>
#include <QQuickWidget>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include <malloc.h>
#include <unistd.h>

#include "promptrender.h"
#include "scenefonts.h"

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("MALLOC_ARENA_MAX"))
        mallopt(M_ARENA_MAX, 2);
    if (!qEnvironmentVariableIsSet("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "72");
    QApplication app(argc, argv);
    auto* engine = new QQmlEngine();
    installSceneFonts();
    QQuickWidget view(engine, nullptr);
    engine->setParent(&view);
    view.setResizeMode(QQuickWidget::SizeRootObjectToView);
    view.setFixedSize(240, 320);
    QQmlComponent component(view.engine());
    component.setData("import QtQuick\nRectangle { width: 240; height: 320; color: 'black'; Text { text: 'P:--'; color: 'white' } }", QUrl());
    view.setContent(QUrl(), &component, component.create());
    renderPromptly(&view);
    // The same measure as the GUI's: the first paint of the widget; the bare window is complete
    // with it. NEWGUI_EXIT_AFTER_FIRST_FRAME as in the GUI: 1 ends the program, 2 holds the
    // frame until a line arrives on standard input.
    struct Filter : QObject {
        bool reported = false;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint && !reported) {
                reported = true;
                QTimer::singleShot(0, [] {
                    std::printf("first frame\n");
                    std::fflush(stdout);
                    const int report = qEnvironmentVariableIntValue("NEWGUI_EXIT_AFTER_FIRST_FRAME");
                    if (report == 1) {
                        std::_Exit(0); // as the GUI: no tear-down counted
                        return;
                    }
                    if (report == 2) {
                        char c = 0;
                        while (::read(STDIN_FILENO, &c, 1) == 1 && c != '\n') {
                        }
                    }
                    std::printf("complete frame\n");
                    std::fflush(stdout);
                });
            }
            return false;
        }
    } filter;
    view.installEventFilter(&filter);
    view.show();
    return app.exec();
}
