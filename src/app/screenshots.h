#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QString>

#include <functional>

class QQuickWidget;
class QSocketNotifier;

// Calls `callback` after every paint of the view, that is after every frame that reached the
// screen (QQuickWidget renders into the widget's backing store). Lives as long as `view`.
void onEveryFrame(QQuickWidget* view, std::function<void()> callback);
// The same, once: after the first frame.
void afterFirstFrame(QQuickWidget* view, std::function<void()> callback);

// Desktop and test aid, inactive unless NEWGUI_SCREENSHOT_DIR is set: every SIGUSR1 writes
// a grab of the view to "<dir>/grab-NNNN.png" and "<dir>/latest.png" (written under a
// temporary name and renamed, so a reader never sees half a file). With
// NEWGUI_SCREENSHOT_AUTO=1 every changed frame is written as well (at most one per 100 ms).
class ScreenshotWriter : public QObject
{
    Q_OBJECT
public:
    explicit ScreenshotWriter(QQuickWidget* view);
    ~ScreenshotWriter() override;

private:
    void grabNow();
    void frameSwapped();

    QQuickWidget* m_view;
    QString m_dir;
    bool m_auto = false;
    bool m_pending = false;
    int m_count = 0;
    QImage m_last;
    QElapsedTimer m_sinceLast;
    QSocketNotifier* m_notifier = nullptr;
};
