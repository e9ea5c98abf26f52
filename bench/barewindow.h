#pragma once

// The bare window the benchmarks measure the GUI against.
#include <QByteArray>
#include <QQmlComponent>
#include <QQuickWidget>
#include <QString>
#include <QUrl>

#include "promptrender.h"

// The bare window: the display's size, the given scene, the GUI's batching shortcut; shown.
inline void showBareWindow(QQuickWidget& view, const QByteArray& qml)
{
    view.setResizeMode(QQuickWidget::SizeRootObjectToView);
    view.setFixedSize(240, 320);
    QQmlComponent component(view.engine());
    component.setData(qml, QUrl());
    view.setContent(QUrl(), &component, component.create());
    renderPromptly(&view);
    view.show();
}

// A scene with one number in a text, which a benchmark changes through "value".
inline constexpr const char* BareValueScene =
    "import QtQuick\nRectangle { width: 240; height: 320; color: 'black'; property real value: 0\n"
    "  Text { y: 100; text: value.toFixed(3); color: 'white'; font.pixelSize: 30 } }";
