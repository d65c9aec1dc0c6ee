#pragma once

#include "bench/peakmemory.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

// Says "painted <peak RSS in KiB>" on standard output as soon as the window's first frame
// has been painted, and ends the program: the driver times the line, not the exit.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QWidget &window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            // Queued, so it runs after the paint has reached the backing store.
            QTimer::singleShot(0, [] {
                std::printf("painted %ld\n", peakMemoryKiB());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_painted = false;
};
