#include "ui/main/CWaitDlg.h"

#include <QProgressBar>

#include "engine/AcTransmitManage.h"
#include "ui/controls/CTButtonPicture.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CApplicationApp.h"

namespace {

CWaitDlg::Engine EngineCalls() {
    AcTransmitManage* engine = theApp.m_pTransmit;
    if (!engine) return {};
    return {[engine] { engine->ReleasePendingManageAp(); },
            [engine] { engine->SendDiscoverBroadcast(); }};
}

}  // namespace

CWaitDlg::CWaitDlg(int seconds, bool rediscover, int rounds, QWidget* parent, Engine engine)
    : CTDialog(parent),
      m_nRange(seconds * 2),
      m_nRoundsLeft(rounds),
      m_bRediscover(rediscover),
      m_engine(engine.SendDiscoverBroadcast || engine.ReleasePendingManageAp ? std::move(engine)
                                                                             : EngineCalls()),
      m_pBar(new QProgressBar(this)),
      m_pClose(new CTButtonPicture(this)) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(DuSize(200, 40));
    m_pBar->setObjectName(QStringLiteral("progress1136"));
    m_pBar->setGeometry(DuRect(10, 19, 180, 10));
    m_pBar->setTextVisible(false);
    m_pClose->setObjectName(QStringLiteral("button1000"));
    m_pClose->setGeometry(DuRect(186, 3, 11, 9));
    connect(m_pClose, &QAbstractButton::clicked, this, &QDialog::reject);

    TranslateDialog(this);
    m_bFill = true;
    m_fillColor = QColor(242, 242, 242);
    m_bDrag = true;
    const QString close = QString::fromStdString(theApp.m_skin.wait_close);
    m_pClose->SetStateImages(close, close, close, close);

    m_pBar->setRange(0, m_nRange);
    m_pBar->setValue(0);
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { OnTimer(TIMER_WAIT); });
}

void CWaitDlg::showEvent(QShowEvent* event) {
    CTDialog::showEvent(event);
    if (!m_timer.isActive() && m_nCounter == 1) m_timer.start();
}

void CWaitDlg::OnTimer(int timerId) {
    if (timerId != TIMER_WAIT) return;
    const int tick = m_nCounter;
    if (m_bRediscover && m_nRoundsLeft > 0 && tick == m_nRange - 6 * m_nRoundsLeft + 6) {
        if (!m_bReleased) {
            m_bReleased = true;
            if (m_engine.ReleasePendingManageAp) m_engine.ReleasePendingManageAp();
        }
        --m_nRoundsLeft;
        if (m_engine.SendDiscoverBroadcast) m_engine.SendDiscoverBroadcast();
    }
    m_pBar->setValue(qMin(tick, m_nRange));
    ++m_nCounter;
    if (tick >= m_nRange) {
        m_timer.stop();
        m_pBar->setValue(m_nRange);
        accept();
    }
}

void CWaitDlg::done(int result) {
    // Ticks that have not come send nothing once the dialog is gone.
    m_timer.stop();
    CTDialog::done(result);
}
