// A bare Qt Quick window in a QQuickWidget: the floor for the GUI's start-up time.
#include <QApplication>
#include <QQmlEngine>
#include <QQmlComponent>
#include <QQuickWidget>
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
    QObject::connect(&view, &QQuickWidget::frameSwapped, &app, [] {
        std::printf("first frame\n");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    view.show();
    return app.exec();
}
