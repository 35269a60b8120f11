#pragma once
// The navigation panel: eight page buttons and the version text.

#include <array>

#include "ui/controls/CTButtonPicture.h"
#include "ui/controls/CTDialog.h"
#include "ui/controls/CTStatic.h"

class CChildDlg;

class CMenuDlg : public CTDialog {
    Q_OBJECT
  public:
    struct Entry {
        int buttonId;
        int y;  // dialog units
        const char* caption;
        int pageId;
    };
    static const std::array<Entry, 8> kEntries;

    explicit CMenuDlg(QWidget* parent);

    // Where the buttons switch pages; until it is set a click only moves the mark.
    void SetContainer(CChildDlg* container) { m_pContainer = container; }
    // The click handling of the button at `index` (0 Status ... 7 Install Help).
    void OnMenuButton(int index);

    CTButtonPicture* Button(int index) const { return m_buttons[index]; }
    CTStatic* VersionLabel() const { return m_pVersion; }

  private:
    std::array<CTButtonPicture*, 8> m_buttons{};
    CTStatic* m_pVersion = nullptr;
    CChildDlg* m_pContainer = nullptr;
};
