#pragma once

#include <QMutex>
#include <QObject>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWidget>

#include "mainwindow.h"

// Tells the recording scene whether the host's state mutex is held while it is called.
class MutexProbe : public QObject
{
    Q_OBJECT
public:
    explicit MutexProbe(QMutex& mutex) : m_mutex(mutex) {}
    Q_INVOKABLE bool held()
    {
        if (!m_mutex.tryLock())
            return true;
        m_mutex.unlock();
        return false;
    }

private:
    QMutex& m_mutex;
};

// The host window with the recording scene, which marks the calls made while the host's
// state mutex is held with " locked"; calls() returns what the scene got since the last clear().
class RecordedHost
{
public:
    RecordedHost()
        : window(nullptr, QUrl::fromLocalFile(QStringLiteral(NG_SOURCE_DIR "/tests/common/RecordingScene.qml")))
        , probe(window.stateMutex())
    {
        window.view()->rootContext()->setContextProperty(QStringLiteral("mutexProbe"), &probe);
        clear();
    }
    QStringList calls() const { return window.rootItem()->property("calls").toStringList(); }
    void clear() { window.rootItem()->setProperty("calls", QVariantList()); }

    MainWindow window;
    MutexProbe probe;
};
