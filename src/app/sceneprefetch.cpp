#include "sceneprefetch.h"

#include <QQmlComponent>

// QtQml's worker-script types come from their library, linked into the program, so that the
// import of QtQml loads no plugin: the plugin's set-up for the engine would have the loader
// thread wait for the GUI thread, which is busy with the rest of the start-up then.
void qml_register_types_QtQml_WorkerScript();

ScenePrefetch::ScenePrefetch(QQmlEngine* engine, const QList<QUrl>& files)
{
    volatile auto registration = &qml_register_types_QtQml_WorkerScript;
    Q_UNUSED(registration);
    for (const QUrl& file : files)
        m_components.append(new QQmlComponent(engine, file, QQmlComponent::Asynchronous));
}

// The engine keeps what was compiled; a file still loading is finished by its next user.
ScenePrefetch::~ScenePrefetch()
{
    qDeleteAll(m_components);
}
