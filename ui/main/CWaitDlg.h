#pragma once
// The waiting dialog shown while devices restart or change address: a bar that fills over a
// fixed time and, when asked, searches for the devices again near its end so that they come
// back in the lists. With r rounds left the search goes out on the tick range - 6r + 6 (half
// seconds), so the last round is on the final tick; before the first round the engine lets go
// of devices whose configuration never arrived.

#include <QTimer>
#include <functional>

#include "ui/controls/CTDialog.h"

class CTButtonPicture;
class QProgressBar;

class CWaitDlg : public CTDialog {
    Q_OBJECT
  public:
    static constexpr int TIMER_WAIT = 1000;
    static constexpr int kTickMs = 500;

    // What the dialog asks of the engine; the default goes to the engine itself.
    struct Engine {
        std::function<void()> ReleasePendingManageAp;
        std::function<void()> SendDiscoverBroadcast;
    };

    CWaitDlg(int seconds, bool rediscover, int rounds, QWidget* parent = nullptr,
             Engine engine = {});

    // One tick of the bar (the timer calls it every 500 ms).
    void OnTimer(int timerId);

    int Range() const { return m_nRange; }
    int Counter() const { return m_nCounter; }
    int RoundsLeft() const { return m_nRoundsLeft; }
    QProgressBar* Bar() const { return m_pBar; }
    CTButtonPicture* CloseButton() const { return m_pClose; }
    bool IsTicking() const { return m_timer.isActive(); }

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    const int m_nRange;
    int m_nCounter = 1;
    int m_nRoundsLeft;
    const bool m_bRediscover;
    bool m_bReleased = false;
    Engine m_engine;
    QProgressBar* m_pBar;
    CTButtonPicture* m_pClose;
    QTimer m_timer;
};
