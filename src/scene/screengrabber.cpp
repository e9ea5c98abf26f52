#include "screengrabber.h"

#include <QPainter>
#include <QWidget>
#include <QtQml/qqml.h>

ScreenGrabber::ScreenGrabber(QQuickItem* parent)
    : QQuickPaintedItem(parent)
{
    // Contents only once something was grabbed: until then there is nothing to draw, and a
    // painted item with contents keeps a view-sized pixmap (two, while painting) from its
    // first frame on, hidden or not. The painted item's constructor turns contents on.
    setFlag(QQuickItem::ItemHasContents, false);
}

void ScreenGrabber::registerType()
{
    qmlRegisterType<ScreenGrabber>("Tavik", 1, 0, "ScreenGrabber");
}

void ScreenGrabber::setView(QObject* obj)
{
    if (!obj)
        return;
    const QVariant published = obj->property(ViewProperty);
    QWidget* widget = published.value<QWidget*>();
    if (!widget)
        widget = qobject_cast<QWidget*>(obj);
    if (widget)
        m_view = widget;
}

void ScreenGrabber::grab(int x, int y, int width, int height)
{
    if (!m_view)
        return;
    // Each of width and height reaches to its own edge when negative (Qt 6's widget grab
    // would widen both as soon as one is negative).
    if (width < 0)
        width = m_view->width() - x;
    if (height < 0)
        height = m_view->height() - y;
    m_pixmap = m_view->grab(QRect(x, y, width, height));
    m_grabbed = true;
    setFlag(QQuickItem::ItemHasContents, true);
    update();
}

// A copy made while hidden is drawn when the item is shown or moved, without waiting for
// something else to repaint it.
void ScreenGrabber::itemChange(ItemChange change, const ItemChangeData& value)
{
    QQuickPaintedItem::itemChange(change, value);
    if (change == ItemVisibleHasChanged && value.boolValue && m_grabbed)
        update();
}

void ScreenGrabber::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    if (m_grabbed)
        update();
}

void ScreenGrabber::paint(QPainter* painter)
{
    if (m_grabbed)
        painter->drawPixmap(0, 0, m_pixmap);
}
