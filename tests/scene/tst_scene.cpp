#include <QDir>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

#include "pictureprovider.h"
#include "scenefonts.h"
#include "screengrabber.h"

// Gives every test engine the scene's font and a fake host as `cMainWindow`.
class SceneSetup : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void applicationAvailable()
    {
        installSceneFonts();
        ScreenGrabber::registerType();
        QDir().mkpath(QStringLiteral(NG_SCENE_GRAB_DIR));
    }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        QQmlComponent component(engine, QUrl::fromLocalFile(QStringLiteral(QUICK_TEST_SOURCE_DIR "/FakeHost.qml")));
        QObject* host = component.create();
        if (!host)
            qFatal("FakeHost.qml: %s", qPrintable(component.errorString()));
        host->setParent(engine);
        engine->rootContext()->setContextProperty(QStringLiteral("cMainWindow"), host);
        engine->rootContext()->setContextProperty(QStringLiteral("grabDir"), QStringLiteral(NG_SCENE_GRAB_DIR));
        PictureProvider::install(engine);
    }
};

QUICK_TEST_MAIN_WITH_SETUP(scene, SceneSetup)

#include "tst_scene.moc"
