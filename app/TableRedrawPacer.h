// Keeps a view from being redrawn more often than a screen can show: while changes arrive faster
// than one per display frame (a download from a fast or simulated device), the view is redrawn
// once per frame instead of after every change. Every change still reaches the model at once;
// only the pixels wait, at most one frame. Changes that arrive slower than that (a real VRG-500
// needs about 85 ms per register) are drawn at once, each one.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class TableRedrawPacer {
  public:
    static constexpr int FrameMilliseconds = 16;

    explicit TableRedrawPacer(QWidget* view) : _view(view) {
        _pending.setSingleShot(true);
        QObject::connect(&_pending, &QTimer::timeout, [this] { flush(); });
    }

    // The view's contents changed.
    void changed() {
        if (!_sinceDrawn.isValid() || _sinceDrawn.elapsed() >= FrameMilliseconds) {
            flush();
            return;
        }
        if (_view && _view->updatesEnabled()) {
            _view->setUpdatesEnabled(false); // holds back the redraws until the frame is due
        }
        if (!_pending.isActive()) {
            _pending.start(FrameMilliseconds - static_cast<int>(_sinceDrawn.elapsed()));
        }
    }

    // Lets the view draw whatever is held back, now.
    void flush() {
        _pending.stop();
        if (_view && !_view->updatesEnabled()) {
            _view->setUpdatesEnabled(true); // redraws the whole view
        }
        _sinceDrawn.start();
    }

  private:
    QPointer<QWidget> _view;
    QTimer _pending;
    QElapsedTimer _sinceDrawn;
};
