#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtQuickTest>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "jsontranslator.h"
#include "pictureprovider.h"
#include "scenefonts.h"
#include "screengrabber.h"
#include "ticktimer.h"

// The real translator over a language folder of the tests: "de" as the sample tool ships it,
// and "hostile", whose every text begins with a picture tag naming a FIFO. A thread waits to
// open the FIFO for writing; it gets through only when something opens it for reading, which
// the scene must never do (as rich text the tag would block the GUI thread until a writer
// came; here each reader finds one and reads nothing). The scene reaches it as `sceneLanguages`; the fake host's setLanguage switches it.
class SceneLanguages : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString hostileMark READ hostileMark CONSTANT)
    Q_PROPERTY(bool fifoOpened READ fifoOpened)

public:
    SceneLanguages()
        : m_fifo(m_dir.filePath(QStringLiteral("picture")))
        , m_translator(m_dir.path() + QLatin1Char('/'))
    {
        const QString shipped = QStringLiteral(NG_SOURCE_DIR "/tools/toolsim/sample/home/tool/config/langs/");
        QFile::copy(shipped + QStringLiteral("de.json"), m_dir.filePath(QStringLiteral("de.json")));
        if (::mkfifo(QFile::encodeName(m_fifo).constData(), 0600) != 0)
            qFatal("mkfifo %s failed", qPrintable(m_fifo));
        QFile english(shipped + QStringLiteral("en.json"));
        english.open(QIODevice::ReadOnly);
        const QJsonObject texts = QJsonDocument::fromJson(english.readAll()).object().value(QStringLiteral("GUI")).toObject();
        QJsonObject hostile;
        for (auto it = texts.begin(); it != texts.end(); ++it)
            hostile.insert(it.key(), hostileMark() + it.key());
        QFile out(m_dir.filePath(QStringLiteral("hostile.json")));
        out.open(QIODevice::WriteOnly);
        out.write(QJsonDocument(QJsonObject { { QStringLiteral("GUI"), hostile } }).toJson());
        out.close();
        QCoreApplication::installTranslator(&m_translator);
        m_watch = std::thread([this] {
            while (!m_stopping) {
                const int fd = ::open(QFile::encodeName(m_fifo).constData(), O_WRONLY);
                if (!m_stopping)
                    m_opened = true;
                if (fd >= 0)
                    ::close(fd);
            }
        });
    }
    ~SceneLanguages() override
    {
        m_stopping = true;
        const int fd = ::open(QFile::encodeName(m_fifo).constData(), O_RDONLY | O_NONBLOCK);
        m_watch.join();
        if (fd >= 0)
            ::close(fd);
        QCoreApplication::removeTranslator(&m_translator);
    }

    QString hostileMark() const { return QStringLiteral("<img src=\"file://%1\">").arg(m_fifo); }
    bool fifoOpened() const { return m_opened; }
    void setEngine(QQmlEngine* engine) { m_engine = engine; }

    Q_INVOKABLE void setLanguage(const QString& name)
    {
        m_translator.setLanguage(name);
        if (m_engine)
            m_engine->retranslate();
    }

private:
    QTemporaryDir m_dir;
    QString m_fifo;
    JSONTranslator m_translator;
    QQmlEngine* m_engine = nullptr;
    std::thread m_watch;
    std::atomic<bool> m_opened { false };
    std::atomic<bool> m_stopping { false };
};

// Gives every test engine the scene's font, the languages above and a fake host as `cMainWindow`.
class SceneSetup : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void applicationAvailable()
    {
        installSceneFonts();
        ScreenGrabber::registerType();
        TickTimer::registerType();
        QDir().mkpath(QStringLiteral(NG_SCENE_GRAB_DIR));
        m_languages = new SceneLanguages;
        m_languages->setParent(this);
    }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        m_languages->setEngine(engine);
        engine->rootContext()->setContextProperty(QStringLiteral("sceneLanguages"), m_languages);
        QQmlComponent component(engine, QUrl::fromLocalFile(QStringLiteral(QUICK_TEST_SOURCE_DIR "/FakeHost.qml")));
        QObject* host = component.create();
        if (!host)
            qFatal("FakeHost.qml: %s", qPrintable(component.errorString()));
        host->setParent(engine);
        engine->rootContext()->setContextProperty(QStringLiteral("cMainWindow"), host);
        engine->rootContext()->setContextProperty(QStringLiteral("grabDir"), QStringLiteral(NG_SCENE_GRAB_DIR));
        PictureProvider::install(engine);
    }

    void cleanupTestCase() { delete m_languages; m_languages = nullptr; }

private:
    SceneLanguages* m_languages = nullptr;
};

QUICK_TEST_MAIN_WITH_SETUP(scene, SceneSetup)

#include "tst_scene.moc"
