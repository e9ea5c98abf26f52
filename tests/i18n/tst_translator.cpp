// The JSON translator on real files under a temporary system root, the host's language
// switch re-translating a scene at once, and the fonts that draw the translations.
#include <QCoreApplication>
#include <QFile>
#include <QGlyphRun>
#include <QQuickItem>
#include <QRegularExpression>
#include <QTextLayout>
#include <QtTest>

#include "jsontranslator.h"
#include "mainwindow.h"
#include "scenefonts.h"
#include "systemlog.h"
#include "testsupport.h"

namespace {

const QString Dir = QStringLiteral("/home/tool/config/langs/");

QByteArray langFile(const char* gui, const char* errors = nullptr)
{
    QByteArray out = QByteArray("{\"GUI\": {") + gui + "}";
    if (errors)
        out += QByteArray(", \"syserror\": {") + errors + "}";
    return out + "}";
}

QString names(const QVariantList& list)
{
    QStringList out;
    for (const QVariant& v : list)
        out << v.toMap().value(QStringLiteral("name")).toString();
    return out.join(QLatin1Char(','));
}

// The font files the process has mapped (FreeType maps a font file while it is in use).
QSet<QString> mappedFonts()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    QSet<QString> out;
    if (maps.open(QIODevice::ReadOnly))
        for (const QString& line : QString::fromUtf8(maps.readAll()).split(QLatin1Char('\n')))
            if (line.contains(QRegularExpression(QStringLiteral("\\.(ttf|ttc|otf|otc)$"), QRegularExpression::CaseInsensitiveOption)))
                out << line.mid(line.indexOf(QLatin1Char('/')));
    return out;
}

// Lays a line out in the scene's font, plain and bold, and returns its glyph runs.
QList<QGlyphRun> layOut(const QString& text)
{
    QList<QGlyphRun> runs;
    for (const bool bold : { false, true }) {
        QFont font(QStringLiteral("Tavik Sans"));
        font.setPixelSize(bold ? 22 : 16);
        font.setBold(bold);
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        runs += layout.glyphRuns();
    }
    return runs;
}

} // namespace

class TestTranslator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qunsetenv("LOCAL_VAR_ROOT_PATH"); }

    // Chinese and Japanese come from the system's CJK font, which is opened only for them:
    // Latin and Cyrillic screens map no font file (the scene's font is in the program). Runs
    // before anything else here has drawn text.
    void scriptsTheFontLacks()
    {
        installSceneFonts();
        const QSet<QString> before = mappedFonts();
        for (const QGlyphRun& run : layOut(QStringLiteral("Hauptmenü Čeština Łódź ação Главное меню 0123 Nm")))
            QCOMPARE(run.rawFont().familyName().toLower(), QStringLiteral("dejavu sans condensed"));
        QCOMPARE(mappedFonts() - before, QSet<QString>());

        const QList<QGlyphRun> runs = layOut(QStringLiteral("主菜单メインメニュー扭矩"));
        QCOMPARE(runs.size(), 2);
        for (const QGlyphRun& run : runs) {
            QCOMPARE(run.rawFont().familyName().toLower(), QStringLiteral("wenquanyi micro hei"));
            QVERIFY(!run.glyphIndexes().contains(0)); // no glyph drawn as a box
        }
        QCOMPARE((mappedFonts() - before).size(), 1);
    }

    // Installed as the application's translator, a loaded language serves every lookup;
    // switching to a language without a file falls back to English and bare fault numbers.
    void languageRules()
    {
        TempSysroot root;
        QVERIFY(root.write(Dir + QStringLiteral("de.json"),
            "\xEF\xBB\xBF" + langFile("\"Main menu\": \"Hauptmen\xC3\xBC\", \"{{{Prg: {0} received\": \"Programm {0} empfangen\"",
                                      "\"0042\": \"Programm ung\xC3\xBCltig\", \"x\": \"no number\"")));
        QVERIFY(root.write(Dir + QStringLiteral("fr.json"), langFile("\"Main menu\": \"Menu principal\"")));
        JSONTranslator t(Dir);
        QVERIFY(t.isEmpty());
        QCoreApplication::installTranslator(&t);

        QVERIFY(t.setLanguage(QStringLiteral("de")));
        QCOMPARE(QCoreApplication::translate("Any", "Main menu"), QStringLiteral("Hauptmenü"));
        QCOMPARE(QCoreApplication::translate("Any", "{{{Prg: {0} received"), QStringLiteral("Programm {0} empfangen"));
        QCOMPARE(QCoreApplication::translate("Any", "Not in the file"), QStringLiteral("Not in the file"));
        QCOMPARE(t.getError(42), QStringLiteral("Programm ungültig"));
        QCOMPARE(t.getError(0), QStringLiteral("0"));

        // Without "syserror" the GUI texts are translated and faults show their numbers.
        QVERIFY(t.setLanguage(QStringLiteral("fr")));
        QCOMPARE(QCoreApplication::translate("Any", "Main menu"), QStringLiteral("Menu principal"));
        QCOMPARE(t.getError(42), QStringLiteral("42"));

        for (const char* unknown : { "xx", "", "../langs/de", "/home/tool/config/langs/de" }) {
            QVERIFY(t.setLanguage(QStringLiteral("de")));
            QVERIFY(!t.setLanguage(QString::fromLatin1(unknown)));
            QCOMPARE(QCoreApplication::translate("Any", "Main menu"), QStringLiteral("Main menu"));
            QCOMPARE(t.getError(403), QStringLiteral("403"));
            QVERIFY(t.isEmpty());
        }
        QCoreApplication::removeTranslator(&t);
    }

    // Files another process left behind: none of them may crash, hang or half-load; the
    // texts stay English.
    void badLanguageFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("invalid JSON") << QByteArray("{\"GUI\": {\"Main menu\": \"Hauptmen");
        QTest::newRow("array") << QByteArray("[\"Main menu\"]");
        QTest::newRow("GUI not an object") << QByteArray("{\"GUI\": \"Main menu\"}");
        QByteArray huge = "{\"GUI\": {\"Main menu\": \"Hauptmen\xC3\xBC\"}, \"pad\": \"";
        huge += QByteArray(JSONTranslator::MaxFileSize, 'x') + "\"}";
        QTest::newRow("huge") << huge;
        QTest::newRow("binary") << QByteArray("\xEF\xBB\xBF\x00\xFF\xFE{", 7);
    }
    void badLanguageFiles()
    {
        QFETCH(QByteArray, content);
        TempSysroot root;
        QVERIFY(root.write(Dir + QStringLiteral("de.json"), content));
        JSONTranslator t(Dir);
        t.setLanguage(QStringLiteral("de"));
        QCOMPARE(t.translate("", "Main menu"), QStringLiteral("Main menu"));
        QCOMPARE(t.getError(17), QStringLiteral("17"));
    }

    // The index is ordered by the names' character codes (Č after the Latin letters); a
    // broken or missing index gives no languages.
    void languageList()
    {
        TempSysroot root;
        JSONTranslator t(Dir);
        QVERIFY(t.getLanguages().isEmpty()); // no directory
        QVERIFY(root.write(Dir + QStringLiteral("langs.json"),
            "\xEF\xBB\xBF[{\"langCode\": \"cs\", \"name\": \"\xC4\x8C""e\xC5\xA1tina\", \"countryCode\": \"cz\", \"filename\": \"cs\"},"
            " {\"langCode\": \"en\", \"name\": \"English\", \"countryCode\": \"en\", \"filename\": \"en\"}, 7,"
            " {\"langCode\": \"de\", \"name\": \"Deutsch\", \"countryCode\": \"de\", \"filename\": \"de\"}]"));
        const QVariantList list = t.getLanguages();
        QCOMPARE(names(list), QStringLiteral("Deutsch,English,Čeština"));
        QCOMPARE(list.at(2).toMap().value(QStringLiteral("countryCode")), QVariant(QStringLiteral("cz")));
        QCOMPARE(list.at(0).toMap().value(QStringLiteral("filename")), QVariant(QStringLiteral("de")));

        for (const QByteArray& broken : { QByteArray(), QByteArray("[{\"name\": \"Deutsch\""), QByteArray("{\"name\": \"Deutsch\"}") }) {
            QVERIFY(root.write(Dir + QStringLiteral("langs.json"), broken));
            QVERIFY(t.getLanguages().isEmpty());
        }
    }

    // The host installs its translator and a language switch re-translates what the scene
    // shows at once; a language without a file brings the English texts back.
    void sceneFollowsLanguage()
    {
        TempSysroot root;
        QVERIFY(root.write(Dir + QStringLiteral("de.json"), langFile("\"Menu\": \"Men\xC3\xBC\"")));
        PrivateBus bus;
        QVERIFY(bus.isRunning());
        MainWindow window(nullptr, QUrl::fromLocalFile(QStringLiteral(TEST_DIR "/TranslatedScene.qml")));
        QQuickItem* scene = window.rootItem();
        QVERIFY(scene);
        QCOMPARE(scene->property("menu").toString(), QStringLiteral("Menu"));
        window.setLanguage(QStringLiteral("de"));
        QCOMPARE(scene->property("menu").toString(), QStringLiteral("Menü"));
        window.setLanguage(QStringLiteral("xx"));
        QCOMPARE(scene->property("menu").toString(), QStringLiteral("Menu"));
    }
};

QTEST_MAIN(TestTranslator)
#include "tst_translator.moc"
