#pragma once
// What every device list page has in common: the search box, the grid, the per-page selector,
// the refresh button, the online count and the pager, and the page state that turns them into
// one sorted, filtered page of the store at a time.
//
// Sorting: `sortFlag` is the direction the next header click uses and flips after each click;
// every other refresh uses the opposite, i.e. the last click's direction (before any click,
// descending by address).

#include <QString>
#include <vector>

#include "common/wire.h"
#include "ui/main/CPageDlg.h"
#include "ui/pages/PageServices.h"
#include "ui/pages/SelectionEntry.h"

class CGridCtrl;
class CTButtonPicture;
class CTEdit;
class CTMultiPages;
class CTPicture;
class CTStatic;
class QComboBox;

class CListPageDlg : public CPageDlg {
    Q_OBJECT
  public:
    // What a column shows.
    enum class Field {
        Check,
        Serial,
        Name,
        Type,
        Ip,
        Mac,
        WorkMode,
        Ssid,
        Channel,
        SecureMode,
        Power,
        Version,
        Transparent,
        Tdma,
        Time,
        Status,
        Operate,
    };
    struct Column {
        const char* caption;  // English source text; empty for the check-box column
        int width;
        Field field;
        int sortKey;  // store sort key, or -1: the header click does not sort
    };

    static constexpr int kSearchButtonId = 1003;
    static constexpr int kPerPageSizes[4] = {15, 30, 50, 100};

    CListPageDlg(QWidget* parent, int pageId, std::vector<Column> columns, int ipColumn,
                 PageServices services);
    ~CListPageDlg() override;

    // Queries one page (sort non-zero: ascending) and shows it.
    void UpdateListData(int page, int sort, int col, const QString& content);
    // Rebuilds the grid rows: stored records, then pending ones (Status page only).
    void UpdateShowList(const std::vector<ap_info_stu>& list,
                        const std::vector<ap_info_stu>& pending = {});

    void RefreshPage() override;
    void OnPageTurn(int value) override;

    // A grid click (row 0 the header), as the grid reports it.
    virtual void OnGridClick(int row, int col);

    // --- state, for the page classes and tests ---
    int PageNumber() const { return m_nPage; }
    int SortColumn() const { return m_nCol; }
    int SortFlag() const { return m_nSortFlag; }
    const QString& Content() const { return m_strContent; }
    bool AllSelected() const { return m_bAllSelected; }
    int OnlineCount() const { return m_nOnlineCount; }
    int PageSize() const;
    const std::vector<Column>& Columns() const { return m_columns; }
    // The column showing `field`, or -1.
    int ColumnOf(Field field) const;

    CGridCtrl* Grid() const { return m_pGrid; }
    CTEdit* SearchBox() const { return m_pSearch; }
    QComboBox* PerPageSelector() const { return m_pPerPage; }
    CTButtonPicture* RefreshButton() const { return m_pRefresh; }
    CTButtonPicture* SearchButton() const { return m_pSearchButton; }
    CTStatic* OnlineCountLabel() const { return m_pOnlineCount; }
    CTMultiPages* Pager() const { return m_pPager; }
    PageServices& Services() { return m_services; }

    // The rows whose check box is on, in row order.
    std::vector<select_ap_entry> CheckedRows() const;

  protected:
    // Pending devices to show after `stored` records of page `page` (of `pageCount`).
    virtual std::vector<ap_info_stu> QueryPending(int page, int pageCount, int stored,
                                                  int pageSize);
    // Fills row `row` from `record`; `pending` for a device whose configuration has not come.
    virtual void FillRow(int row, const ap_info_stu& record, bool pending);
    // Called at the start of UpdateListData and UpdateShowList (the Status page logs them).
    virtual void LogUpdateListData() {}
    virtual void LogUpdateShowList() {}

    // The cell text of `field` for a record.
    static QString FieldText(Field field, const ap_info_stu& record);
    // A skinned button at the top left, the n-th from the left (after the Search button when it
    // is shown).
    CTButtonPicture* AddActionButton(const char* caption, int slot, int widthDu = 60);
    // Shows the Search button (Status page only).
    void ShowSearchButton();
    void OnSearchTextChanged(const QString& text);
    void ToggleAllChecks();
    void SetControlsEnabled(bool enabled);

    int m_nPage = 1;
    int m_nCol;
    int m_nSortFlag = 1;
    QString m_strContent;
    bool m_bAllSelected = false;
    int m_nOnlineCount = 0;
    // While set, search-box changes made by the page itself do not query.
    bool m_bIgnoreSearchChange = false;

    PageServices m_services;
    std::vector<Column> m_columns;
    int m_nSerialColumn;

    CGridCtrl* m_pGrid = nullptr;
    CTButtonPicture* m_pSearchButton = nullptr;
    CTEdit* m_pSearch = nullptr;
    CTPicture* m_pSearchLeft = nullptr;
    CTPicture* m_pSearchRight = nullptr;
    CTPicture* m_pLine = nullptr;
    CTStatic* m_pPerPageLabel = nullptr;
    QComboBox* m_pPerPage = nullptr;
    CTButtonPicture* m_pRefresh = nullptr;
    CTStatic* m_pOnlineCount = nullptr;
    CTMultiPages* m_pPager = nullptr;
};

// Grid fonts and colours from the settings.
QFont GridFontFrom(int height, int weight, const std::string& face);
