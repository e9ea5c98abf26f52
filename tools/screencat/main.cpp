// screencat: every screen and popup of the scene, offscreen, in the given languages and both
// themes. Writes a contact sheet per language and theme and a report of every text that does
// not fit; exits 1 when a text is cut or drawn over another, or a scene text is missing.
//
//   screencat --lang xx.json [--lang yy.json ...] --out DIR

#include <QAbstractAnimation>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QPainter>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

#include "devicepaths.h"
#include "jsontranslator.h"
#include "mainwindow.h"
#include "textfit.h"

namespace {

constexpr int TileWidth = 240;
constexpr int TileHeight = 320;
constexpr int LabelHeight = 22;
constexpr int Columns = 8;

// Animations and the scene's timers move only when the catalogue says so: each screen is
// shown with its header and bar slid in, whatever the machine's load.
class SteppedAnimationDriver : public QAnimationDriver
{
public:
    void step(int ms)
    {
        m_elapsed += ms;
        advanceAnimation();
    }
    qint64 elapsed() const override { return m_elapsed; }

protected:
    void advance() override { }

private:
    qint64 m_elapsed = 0;
};

// Lets the scene's animations and timers run for `steps` frames of 16 ms. Animations that
// were just started join at the next pass through the event loop.
void settle(SteppedAnimationDriver* driver, int steps)
{
    for (int t = 0; t < steps; ++t) {
        QCoreApplication::processEvents();
        driver->step(16);
    }
    QCoreApplication::processEvents();
}

// What the catalogue calls on the tool: keys, and the longest fault text of the language.
class Helper : public QObject
{
    Q_OBJECT
public:
    Helper(QWidget* view, SteppedAnimationDriver* driver)
        : m_view(view), m_driver(driver) { }

    void setFaults(const QVariantMap& faults) { m_faults = faults; }

    Q_INVOKABLE void key(const QString& name)
    {
        const int key = name == QLatin1String("Left") ? Qt::Key_Left
                        : name == QLatin1String("Right") ? Qt::Key_Right : Qt::Key_A;
        for (QEvent::Type type : { QEvent::KeyPress, QEvent::KeyRelease }) {
            QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_A ? QStringLiteral("a") : QString());
            QCoreApplication::sendEvent(m_view, &event);
            // a list takes the next key once it has moved
            settle(m_driver, 20);
        }
    }

    Q_INVOKABLE int longestFault() const
    {
        int code = 1;
        qsizetype longest = -1;
        for (auto it = m_faults.cbegin(); it != m_faults.cend(); ++it) {
            const QString text = it.value().toString();
            if (it.key().toInt() > 0 && text.size() > longest) {
                longest = text.size();
                code = it.key().toInt();
            }
        }
        return code;
    }

private:
    QWidget* m_view;
    SteppedAnimationDriver* m_driver;
    QVariantMap m_faults;
};

bool copyTree(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(path);
        QDir().mkpath(QFileInfo(target).path());
        QFile::remove(target);
        if (!QFile::copy(path, target))
            return false;
    }
    return true;
}

// The texts the scene translates: the literals of its translation calls.
QStringList sceneTexts(const QString& dir)
{
    static const QRegularExpression call(QStringLiteral(
        R"re(\b(?:qsTr|QT_TR_NOOP|qsTranslate|QT_TRANSLATE_NOOP)\s*\(\s*(?:(?:"(?:[^"\\\n]|\\.)*"|'(?:[^'\\\n]|\\.)*')\s*,\s*)?("(?:[^"\\\n]|\\.)*"|'(?:[^'\\\n]|\\.)*')\s*[,)])re"));
    QStringList texts;
    QDirIterator it(dir, { QStringLiteral("*.qml"), QStringLiteral("*.js") }, QDir::Files);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString source = QString::fromUtf8(file.readAll());
        auto m = call.globalMatch(source);
        while (m.hasNext()) {
            QString literal = m.next().captured(1);
            const bool single = literal.startsWith(QLatin1Char('\''));
            literal = literal.mid(1, literal.size() - 2);
            if (single)
                literal.replace(QStringLiteral("\\'"), QStringLiteral("'")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
            const QJsonDocument doc = QJsonDocument::fromJson(("[\"" + literal + "\"]").toUtf8());
            const QString text = doc.isArray() ? doc.array().at(0).toString() : literal;
            if (!texts.contains(text))
                texts.append(text);
        }
    }
    texts.sort();
    return texts;
}

// A text on one line of the report.
QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QLatin1Char('\t'), QStringLiteral("\\t"));
}

QJsonObject readLanguage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > JSONTranslator::MaxFileSize)
        return QJsonObject();
    QByteArray data = file.readAll();
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    return QJsonDocument::fromJson(data).object();
}

struct Tile
{
    QString name;
    QImage image;
    QList<TextFinding> findings;
};

QImage contactSheet(const QList<Tile>& tiles, const QString& title)
{
    const int rows = (tiles.size() + Columns - 1) / Columns;
    QImage sheet(Columns * (TileWidth + 8) + 8, 40 + rows * (TileHeight + LabelHeight + 8), QImage::Format_RGB32);
    sheet.fill(QColor(0x30, 0x30, 0x30));
    QPainter p(&sheet);
    QFont font = p.font();
    font.setPixelSize(16);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(8, 8, sheet.width() - 16, 28), Qt::AlignLeft | Qt::AlignVCenter, title);
    font.setPixelSize(13);
    p.setFont(font);
    for (int i = 0; i < tiles.size(); ++i) {
        const Tile& t = tiles.at(i);
        const int x = 8 + (i % Columns) * (TileWidth + 8);
        const int y = 40 + (i / Columns) * (TileHeight + LabelHeight + 8);
        p.drawImage(x, y, t.image);
        bool fails = false;
        bool notes = false;
        for (const TextFinding& f : t.findings) {
            fails = fails || f.fails();
            notes = true;
            p.setPen(QPen(f.fails() ? QColor(255, 0, 255) : QColor(255, 170, 0), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(f.box.translated(x, y).adjusted(0, 0, -1, -1));
        }
        p.setPen(fails ? QColor(255, 80, 255) : notes ? QColor(255, 190, 60) : Qt::white);
        p.drawText(QRect(x, y + TileHeight, TileWidth, LabelHeight), Qt::AlignCenter,
                   QString::number(i + 1) + QStringLiteral(". ") + t.name);
    }
    return sheet;
}

} // namespace

int main(int argc, char* argv[])
{
    // As on the tool: a point is a pixel. Headless unless told otherwise.
    if (!qEnvironmentVariableIsSet("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "72");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    qputenv("NEWGUI_WINDOWED", "1");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("screencat"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Renders every screen and popup of the scene in each language and both themes; writes a contact "
        "sheet per language and theme and report.txt with every text that does not fit."));
    parser.addHelpOption();
    const QCommandLineOption langOption(QStringLiteral("lang"), QStringLiteral("A language file (xx.json), or a folder of them; repeatable."),
                                        QStringLiteral("file"));
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("Folder for the sheets and the report."),
                                       QStringLiteral("dir"));
    const QCommandLineOption sampleOption(QStringLiteral("sample"),
                                          QStringLiteral("System root the tool's data comes from (default: the simulator's sample)."),
                                          QStringLiteral("dir"), QStringLiteral(NG_SAMPLE_DIR));
    const QCommandLineOption qmlOption(QStringLiteral("qml"),
                                       QStringLiteral("Load the scene from this folder instead of the program's own (a working copy's qml/)."),
                                       QStringLiteral("dir"));
    const QCommandLineOption tilesOption(QStringLiteral("tiles"), QStringLiteral("Also write every tile as a picture of its own."));
    parser.addOptions({ langOption, outOption, sampleOption, qmlOption, tilesOption });
    parser.process(app);
    // A folder stands for every language file in it.
    QStringList langFiles;
    for (const QString& path : parser.values(langOption)) {
        if (!QFileInfo(path).isDir()) {
            langFiles.append(path);
            continue;
        }
        const QStringList names = QDir(path).entryList({ QStringLiteral("*.json") }, QDir::Files, QDir::Name);
        for (const QString& name : names) {
            if (name != QLatin1String("langs.json"))
                langFiles.append(path + QLatin1Char('/') + name);
        }
    }
    const QString outDir = parser.value(outOption);
    if (langFiles.isEmpty() || outDir.isEmpty()) {
        std::fprintf(stderr, "screencat: --lang and --out are needed (see --help)\n");
        return 2;
    }

    // A sandbox system root with the tool's data; the GUI's bus is one that does not exist,
    // so that nothing of this reaches a real bus.
    QTemporaryDir root;
    if (!root.isValid() || !copyTree(parser.value(sampleOption), root.path())) {
        std::fprintf(stderr, "screencat: cannot fill a system root from %s\n", qPrintable(parser.value(sampleOption)));
        return 2;
    }
    const QString langDir = root.path() + QLatin1String(DevicePaths::LangDir);
    QStringList codes;
    for (const QString& file : langFiles) {
        const QFileInfo info(file);
        const QString code = info.completeBaseName();
        QFile::remove(langDir + info.fileName());
        if (!info.isFile() || info.size() > JSONTranslator::MaxFileSize || !QFile::copy(file, langDir + code + ".json")) {
            std::fprintf(stderr, "screencat: cannot read %s\n", qPrintable(file));
            return 2;
        }
        codes.append(code);
    }
    qputenv("TOOL_SYSROOT", QFile::encodeName(root.path()));
    qunsetenv("LOCAL_VAR_ROOT_PATH");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + QFile::encodeName(root.path()) + "/no-bus");
    QDir().mkpath(outDir);

    SteppedAnimationDriver driver;
    driver.install();
    const QString qmlDir = parser.isSet(qmlOption) ? QFileInfo(parser.value(qmlOption)).absoluteFilePath() : QString();
    MainWindow window(nullptr, qmlDir.isEmpty() ? QUrl(QString::fromLatin1(MainWindow::DefaultScene))
                                                : QUrl::fromLocalFile(qmlDir + QStringLiteral("/main.qml")));
    QQuickItem* scene = window.rootItem();
    if (!scene) {
        std::fprintf(stderr, "screencat: the scene did not load\n");
        return 2;
    }
    window.show();
    scene->setProperty("firstFrameShown", true);
    Helper helper(window.view(), &driver);
    QQmlEngine* engine = window.view()->engine();
    engine->rootContext()->setContextProperty(QStringLiteral("screencat"), &helper);
    QQmlComponent component(engine, QUrl(QStringLiteral("qrc:/screencat/Catalogue.qml")));
    QObject* catalogue = component.create();
    if (!catalogue) {
        std::fprintf(stderr, "screencat: %s\n", qPrintable(component.errorString()));
        return 2;
    }
    catalogue->setProperty("scene", QVariant::fromValue<QObject*>(scene));
    if (!qmlDir.isEmpty())
        catalogue->setProperty("stackUrl", QUrl::fromLocalFile(qmlDir + QStringLiteral("/PopupStack.js")).toString());
    QVariant countValue;
    QMetaObject::invokeMethod(catalogue, "count", Q_RETURN_ARG(QVariant, countValue));
    const int count = countValue.toInt();

    const QStringList texts = sceneTexts(qmlDir.isEmpty() ? QStringLiteral(":/qml") : qmlDir);
    const QJsonObject englishErrors = readLanguage(parser.value(sampleOption) + QLatin1String(DevicePaths::LangDir)
                                                   + QStringLiteral("en.json")).value(QStringLiteral("syserror")).toObject();
    QFile reportFile(outDir + QStringLiteral("/report.txt"));
    if (!reportFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "screencat: cannot write %s\n", qPrintable(reportFile.fileName()));
        return 2;
    }
    QTextStream report(&reportFile);
    int failures = 0;
    int notes = 0;

    for (const QString& code : std::as_const(codes)) {
        // every text of the scene and every fault text of English
        const QJsonObject lang = readLanguage(langDir + code + QStringLiteral(".json"));
        const QJsonObject gui = lang.value(QStringLiteral("GUI")).toObject();
        const QJsonObject errors = lang.value(QStringLiteral("syserror")).toObject();
        int missing = 0;
        for (const QString& text : texts) {
            if (!gui.contains(text)) {
                report << code << "\t-\t-\tmissing\t\"" << oneLine(text) << "\"\n";
                ++missing;
            }
        }
        for (auto it = englishErrors.constBegin(); it != englishErrors.constEnd(); ++it) {
            if (!errors.contains(it.key())) {
                report << code << "\t-\t-\tmissing\t\"" << it.key() << ": " << oneLine(it.value().toString()) << "\"\n";
                ++missing;
            }
        }
        failures += missing;
        helper.setFaults(errors.toVariantMap());

        for (const QString& theme : { QStringLiteral("blue"), QStringLiteral("black") }) {
            QJsonObject cfg = QJsonDocument::fromJson(window.cfg().toUtf8()).object();
            QJsonObject global = cfg.value(QStringLiteral("global")).toObject();
            global.insert(QStringLiteral("language"), code);
            global.insert(QStringLiteral("theme"), theme);
            cfg.insert(QStringLiteral("global"), global);
            window.setCfg(QString::fromUtf8(QJsonDocument(cfg).toJson()));
            window.callRoot("loadCfg");

            QList<Tile> tiles;
            for (int i = 0; i < count; ++i) {
                Tile tile;
                QVariant name;
                QMetaObject::invokeMethod(catalogue, "name", Q_RETURN_ARG(QVariant, name), Q_ARG(QVariant, i));
                tile.name = name.toString();
                QMetaObject::invokeMethod(catalogue, "show", Q_ARG(QVariant, i));
                // the header and the bar slide in over 500 ms
                settle(&driver, 40);
                tile.image = window.view()->grabFramebuffer().copy(0, 0, TileWidth, TileHeight);
                QVariant scrolls;
                QMetaObject::invokeMethod(catalogue, "scrolls", Q_RETURN_ARG(QVariant, scrolls), Q_ARG(QVariant, i));
                tile.findings = inspectTexts(scene, scrolls.toBool());
                for (const TextFinding& f : std::as_const(tile.findings)) {
                    report << code << '\t' << theme << '\t' << tile.name << '\t' << TextFinding::kindName(f.kind)
                           << "\t\"" << oneLine(f.text) << '"';
                    if (f.kind == TextFinding::Overlap)
                        report << "\tover \"" << oneLine(f.other) << "\" by " << qRound(f.width) << " x " << qRound(f.room) << " px";
                    else
                        report << '\t' << qRound(f.width) << (f.vertical ? " px high in " : " px in ") << qRound(f.room) << " px";
                    report << '\t' << f.where << '\n';
                    if (f.fails())
                        ++failures;
                    else
                        ++notes;
                }
                if (parser.isSet(tilesOption)) {
                    const QString dir = outDir + QStringLiteral("/") + code + QStringLiteral("-") + theme;
                    QDir().mkpath(dir);
                    tile.image.save(dir + QStringLiteral("/%1 %2.png").arg(i + 1, 2, 10, QLatin1Char('0')).arg(tile.name));
                }
                tiles.append(tile);
            }
            const QString title = code + QStringLiteral(" / ") + theme;
            contactSheet(tiles, title).save(outDir + QStringLiteral("/") + code + QStringLiteral("-") + theme + QStringLiteral(".png"));
        }
    }
    report.flush();
    reportFile.close();

    QFile again(reportFile.fileName());
    if (again.open(QIODevice::ReadOnly))
        std::fputs(again.readAll().constData(), stdout);
    std::printf("screencat: %lld languages, %d screens, %d texts cut, overlapping or missing, %d shrunk or elided; "
                "sheets and report.txt in %s\n",
                static_cast<long long>(codes.size()), count, failures, notes, qPrintable(outDir));
    driver.uninstall();
    return failures > 0 ? 1 : 0;
}

#include "main.moc"
