#pragma once

#include <QPixmap>
#include <QPointer>
#include <QQuickPaintedItem>

#include <QWidget>

// A scene item that copies a rectangle of the displayed view into memory and draws the
// copy at its own origin; meant for animated screen changes. The scene imports it as
// "Tavik" 1.0 "ScreenGrabber" and hands it the host window with setView(cMainWindow).
class ScreenGrabber : public QQuickPaintedItem
{
    Q_OBJECT

public:
    explicit ScreenGrabber(QQuickItem* parent = nullptr);

    // Registers the type for the scene; call before the scene is loaded.
    static void registerType();

    // The host publishes its view to the grabber as this dynamic property (a QWidget*);
    // it is not visible to the scene.
    static constexpr const char* ViewProperty = "_ng_view";

    // obj: the host window; the grabber copies from the view it publishes (or from obj
    // itself when obj is a widget without one).
    Q_INVOKABLE void setView(QObject* obj);

    // Copies x, y, width x height of the view; -1 (the shorter forms) reaches to the view's
    // right or bottom edge. Separate overloads: the scene picks them by argument count.
    Q_INVOKABLE void grab(int x, int y, int width, int height);
    Q_INVOKABLE void grab(int x, int y, int width) { grab(x, y, width, -1); }
    Q_INVOKABLE void grab(int x, int y) { grab(x, y, -1, -1); }
    Q_INVOKABLE void grab(int x) { grab(x, 0, -1, -1); }
    Q_INVOKABLE void grab() { grab(0, 0, -1, -1); }

    void paint(QPainter* painter) override;

    QWidget* view() const { return m_view; }
    const QPixmap& pixmap() const { return m_pixmap; }
    bool grabbed() const { return m_grabbed; }

protected:
    void itemChange(ItemChange change, const ItemChangeData& value) override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    QPixmap m_pixmap;
    bool m_grabbed = false;
    QPointer<QWidget> m_view;
};
