#pragma once

#include <QList>
#include <QUrl>

class QQmlComponent;
class QQmlEngine;

// Starts compiling QML files on the engine's loader thread and returns at once. The start-up
// goes on with its own work meanwhile; a later synchronous load of the same file (setSource(),
// a Loader) takes the compiled file or waits for the rest of it.
class ScenePrefetch
{
public:
    ScenePrefetch(QQmlEngine* engine, const QList<QUrl>& files);
    ~ScenePrefetch();
    ScenePrefetch(const ScenePrefetch&) = delete;
    ScenePrefetch& operator=(const ScenePrefetch&) = delete;

private:
    QList<QQmlComponent*> m_components;
};
