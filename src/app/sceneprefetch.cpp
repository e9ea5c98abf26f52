#include "sceneprefetch.h"

#include <QQmlComponent>

ScenePrefetch::ScenePrefetch(QQmlEngine* engine, const QList<QUrl>& files)
{
    for (const QUrl& file : files)
        m_components.append(new QQmlComponent(engine, file, QQmlComponent::Asynchronous));
}

// The engine keeps what was compiled; a file still loading is finished by its next user.
ScenePrefetch::~ScenePrefetch()
{
    qDeleteAll(m_components);
}
