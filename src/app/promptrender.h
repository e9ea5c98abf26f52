#pragma once

class QQuickWidget;

// A Qt Quick widget holds every change of its scene for 5 ms before it renders, to gather
// further changes into the same frame. This renders instead as soon as the thread has handled
// every queued event and would go to sleep: changes made together still share one frame, and a
// result is on screen without the wait (and without the timer's wake-up).
void renderPromptly(QQuickWidget* view);
