#include <QPainter>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QQuickWidget>
#include <QtTest>

#include "mainwindow.h"
#include "pictureprovider.h"
#include "screengrabber.h"
#include "testsupport.h"

namespace {

// A 240 x 320 view of four known quarters: red, green above, blue, yellow below.
class QuarterView : public QWidget
{
public:
    QuarterView() { resize(240, 320); }

    static QColor at(int x, int y)
    {
        if (y < 160)
            return x < 120 ? Qt::red : Qt::green;
        return x < 120 ? Qt::blue : Qt::yellow;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        for (const QPoint& q : { QPoint(0, 0), QPoint(120, 0), QPoint(0, 160), QPoint(120, 160) })
            p.fillRect(q.x(), q.y(), 120, 160, at(q.x(), q.y()));
    }
};

} // namespace

class TestScreenGrabber : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ScreenGrabber::registerType(); }
    void overloads_data();
    void overloads();
    void paintsOnlyAfterAGrab();
    void hostHandsItsView();
    void builtInPictures();
};

void TestScreenGrabber::overloads_data()
{
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("x, y, width, height") << QVariantList{ 0, 30, 240, 260 } << QRect(0, 30, 240, 260);
    QTest::newRow("x, y, width") << QVariantList{ 100, 150, 30 } << QRect(100, 150, 30, 170);
    QTest::newRow("x, y") << QVariantList{ 110, 140 } << QRect(110, 140, 130, 180);
    QTest::newRow("x") << QVariantList{ 115 } << QRect(115, 0, 125, 320);
    QTest::newRow("whole view") << QVariantList{} << QRect(0, 0, 240, 320);
}

// Each form of grab, called by name as the scene calls it, copies its rectangle.
void TestScreenGrabber::overloads()
{
    QFETCH(QVariantList, args);
    QFETCH(QRect, rect);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import Tavik 1.0\nScreenGrabber { function call(a) { grab.apply(this, a) } }", QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    auto* grabber = qobject_cast<ScreenGrabber*>(object.get());
    QVERIFY(grabber);

    QMetaObject::invokeMethod(grabber, "call", Q_ARG(QVariant, QVariant(args)));
    QVERIFY2(!grabber->grabbed() && grabber->pixmap().isNull(), "no view, no grab");

    QuarterView view;
    grabber->setView(&view);
    QMetaObject::invokeMethod(grabber, "call", Q_ARG(QVariant, QVariant(args)));
    QVERIFY(grabber->grabbed());
    const QImage image = grabber->pixmap().toImage();
    QCOMPARE(image.size(), rect.size());
    for (const QPoint& p : { QPoint(0, 0), QPoint(rect.width() - 1, 0), QPoint(0, rect.height() - 1),
                             QPoint(rect.width() - 1, rect.height() - 1) }) {
        QCOMPARE(image.pixelColor(p), QuarterView::at(rect.x() + p.x(), rect.y() + p.y()));
    }
}

// A grabber draws nothing, and has no contents to keep, until it has grabbed; then it draws
// the copy at its origin, by itself: after a grab while shown, and when a grab made while
// hidden is shown or moved.
void TestScreenGrabber::paintsOnlyAfterAGrab()
{
    QQmlEngine engine;
    QQuickWindow window;
    window.setColor(Qt::white);
    QQmlComponent component(&engine);
    component.setData("import QtQuick\nimport Tavik 1.0\n"
                      "Item { width: 240; height: 320; ScreenGrabber { objectName: 'g'; x: 40; y: 30; width: 100; height: 100 } }",
                      QUrl());
    auto* root = qobject_cast<QQuickItem*>(component.create());
    QVERIFY2(root, qPrintable(component.errorString()));
    root->setParentItem(window.contentItem());
    window.resize(240, 320);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* grabber = root->findChild<ScreenGrabber*>(QStringLiteral("g"));
    QVERIFY(grabber);

    QCOMPARE(window.grabWindow().pixelColor(60, 50), QColor(Qt::white));
    // Without contents the renderer keeps no item-sized pixmap for it.
    QVERIFY(!(grabber->flags() & QQuickItem::ItemHasContents));

    QuarterView view;
    grabber->setView(&view);
    grabber->grab(100, 140, 100, 100);
    QImage shown = window.grabWindow();
    QCOMPARE(shown.pixelColor(40 + 5, 30 + 5), QColor(Qt::red));      // from (105, 145)
    QCOMPARE(shown.pixelColor(40 + 30, 30 + 30), QColor(Qt::yellow));  // from (130, 170)
    QCOMPARE(shown.pixelColor(150, 50), QColor(Qt::white));

    grabber->setVisible(false);
    QCOMPARE(window.grabWindow().pixelColor(45, 35), QColor(Qt::white));
    grabber->grab(0, 160, 100, 100);
    grabber->setVisible(true);
    QCOMPARE(window.grabWindow().pixelColor(45, 35), QColor(Qt::blue));
    grabber->setVisible(false);
    grabber->grab(120, 0, 100, 100);
    grabber->setVisible(true);
    grabber->setX(60);
    shown = window.grabWindow();
    QCOMPARE(shown.pixelColor(65, 35), QColor(Qt::green));
    QCOMPARE(shown.pixelColor(45, 35), QColor(Qt::white));
    delete root;
}

// The real scene's grabber is handed the host's view at start-up and copies what is shown.
void TestScreenGrabber::hostHandsItsView()
{
    TempSysroot root;
    PrivateBus bus;
    MainWindow w;
    w.view()->resize(240, 320);
    QVERIFY(w.rootItem());
    auto* grabber = w.rootItem()->findChild<ScreenGrabber*>(QStringLiteral("grabber"));
    QVERIFY(grabber);
    QCOMPARE(grabber->view(), static_cast<QWidget*>(w.view()));
    QVERIFY(!grabber->isVisible());
    grabber->grab(0, 30, 240, 260);
    QCOMPARE(grabber->pixmap().toImage(), w.view()->grab(QRect(0, 30, 240, 260)).toImage());
}

// The pictures decoded at build time are the PNGs' pixels, alpha and all; a name that is not
// there gives no picture, and a requested size is honoured.
void TestScreenGrabber::builtInPictures()
{
    PictureProvider provider;
    const QStringList names = QDir(QStringLiteral(NG_SOURCE_DIR "/pics")).entryList({ QStringLiteral("*.png") });
    QVERIFY(names.size() > 40);
    for (const QString& name : names) {
        QSize size;
        const QImage built = provider.requestImage(QString::fromUtf8(QUrl::toPercentEncoding(name)), &size, QSize());
        const QImage png(QStringLiteral(NG_SOURCE_DIR "/pics/") + name);
        QCOMPARE(size, png.size());
        QVERIFY2(built.convertToFormat(QImage::Format_ARGB32_Premultiplied) == png.convertToFormat(QImage::Format_ARGB32_Premultiplied),
            qPrintable(name));
    }
    QSize size(1, 1);
    QVERIFY(provider.requestImage(QStringLiteral("nothing.png"), &size, QSize()).isNull());
    QVERIFY(size.isEmpty());
    QCOMPARE(provider.requestImage(QStringLiteral("LED_Off2.png"), &size, QSize(11, 0)).size(), QSize(11, 22));
}

QTEST_MAIN(TestScreenGrabber)
#include "tst_screengrabber.moc"
