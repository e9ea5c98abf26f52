// A bare Qt Quick window in a QQuickWidget: the floor for the GUI's start-up time.
#include <QApplication>
#include <QQmlEngine>
#include <QQmlComponent>
#include <QQuickWidget>
#include <QEvent>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QQuickWidget view;
    view.setResizeMode(QQuickWidget::SizeRootObjectToView);
    view.setFixedSize(240, 320);
    QQmlComponent component(view.engine());
    component.setData("import QtQuick\nRectangle { width: 240; height: 320; color: 'black'; Text { text: 'P:--'; color: 'white' } }", QUrl());
    view.setContent(QUrl(), &component, component.create());
    // The same measure as the GUI's: the first paint of the widget.
    struct Filter : QObject {
        bool reported = false;
        bool eventFilter(QObject*, QEvent* e) override
        {
            // Reported once; the bench reads the memory and ends the process itself.
            if (e->type() == QEvent::Paint && !reported) {
                reported = true;
                QTimer::singleShot(0, [] { std::printf("first frame\n"); std::fflush(stdout); });
            }
            return false;
        }
    } filter;
    view.installEventFilter(&filter);
    view.show();
    return app.exec();
}
