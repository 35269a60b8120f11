#pragma once
// The page-turn message: a pager tells the page container which page of which list page the
// user chose. It is delivered synchronously (QCoreApplication::sendEvent), like a sent window
// message, so the list is re-queried before the click handler returns.

#include <QCoreApplication>
#include <QEvent>

inline constexpr int WM_PAGE_TURN = 2023;  // the message number, kept for logs and tests

class CPageTurnEvent : public QEvent {
  public:
    static constexpr QEvent::Type kType = QEvent::Type(QEvent::User + 999);
    CPageTurnEvent(int pageId, int value) : QEvent(kType), m_wParam(pageId), m_lParam(value) {}
    int PageId() const { return m_wParam; }
    int Value() const { return m_lParam; }

  private:
    int m_wParam;
    int m_lParam;
};

// Sends WM_PAGE_TURN(pageId, value) to `target` and returns once it was handled.
inline bool SendPageTurn(QObject* target, int pageId, int value) {
    if (!target) return false;
    CPageTurnEvent ev(pageId, value);
    return QCoreApplication::sendEvent(target, &ev);
}
