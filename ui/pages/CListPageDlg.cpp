#include "ui/pages/CListPageDlg.h"

#include <QComboBox>

#include "app/Language.h"
#include "common/ValueTables.h"
#include "store/CSqlManagement.h"
#include "ui/controls/CGridCtrl.h"
#include "ui/controls/CTButtonPicture.h"
#include "ui/controls/CTEdit.h"
#include "ui/controls/CTMultiPages.h"
#include "ui/controls/CTPicture.h"
#include "ui/controls/CTStatic.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CApplicationApp.h"
#include "ui/main/CChildDlg.h"

namespace {

QString FromLocal(const char* bytes, std::size_t len, std::size_t width) {
    return QString::fromUtf8(bytes, qsizetype(std::min(len, width)));
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString OnlineCountText(int count) {
    return TrText("Online device count:%d").replace(QLatin1String("%d"), QString::number(count));
}

}  // namespace

QFont GridFontFrom(int height, int weight, const std::string& face) {
    QFont font(face.empty() ? QStringLiteral("Arial") : Q(face));
    font.setStyleHint(QFont::SansSerif);
    if (height > 0) font.setPixelSize(height);
    if (weight > 0) font.setWeight(QFont::Weight(qBound(1, weight, 1000)));
    return font;
}

CListPageDlg::CListPageDlg(QWidget* parent, int pageId, std::vector<Column> columns, int ipColumn,
                           PageServices services)
    : CPageDlg(parent, pageId),
      m_nCol(ipColumn),
      m_services(std::move(services)),
      m_columns(std::move(columns)),
      m_nSerialColumn(ColumnOf(Field::Serial)) {
    const AppSettings& s = theApp.m_settings;
    const SkinPaths& skin = theApp.m_skin;
    resize(DuSize(615, 370));
    m_bFill = true;
    m_fillColor = ToQColor(s.ChildBkColor);

    m_pSearchButton = new CTButtonPicture(this);
    m_pSearchButton->setGeometry(DuRect(8, 8, 60, 18));
    m_pSearchButton->SetStateImages(Q(skin.search[0]), Q(skin.search[1]), Q(skin.search[2]),
                                    Q(skin.search[3]));
    m_pSearchButton->ApplyButtonLook(QStringLiteral("Search"));
    m_pSearchButton->hide();

    m_pSearchLeft = new CTPicture(this);
    m_pSearchLeft->LoadPictureFile(Q(skin.search_left));
    m_pSearchLeft->DrawPicture();
    m_pSearchLeft->move(DuToPxX(470), DuToPxY(9));
    m_pSearch = new CTEdit(this);
    m_pSearch->setGeometry(DuRect(482, 10, 112, 14));
    m_pSearchRight = new CTPicture(this);
    m_pSearchRight->LoadPictureFile(Q(skin.search_right));
    m_pSearchRight->DrawPicture();
    m_pSearchRight->move(DuToPxX(595), DuToPxY(9));
    connect(m_pSearch, &QLineEdit::textChanged, this, &CListPageDlg::OnSearchTextChanged);

    // Grid: header look, columns, body look.
    m_pGrid = new CGridCtrl(this);
    m_pGrid->setGeometry(DuRect(8, 32, 599, 300));
    m_pGrid->SetGridColors(ToQColor(s.ChildBkColor), ToQColor(s.LineColor));
    std::vector<QString> captions;
    std::vector<int> widths;
    std::set<int> hand;
    for (int c = 0; c < int(m_columns.size()); ++c) {
        const Column& col = m_columns[c];
        captions.push_back(col.caption[0] ? TrText(col.caption) : QString());
        widths.push_back(col.width);
        if (col.field == Field::Check) m_pGrid->SetCheckColumn(c);
    }
    m_pGrid->SetColumns(captions, widths);
    m_pGrid->SetHeaderLook(
        GridFontFrom(s.GridTitleFont.height, s.GridTitleFont.weight, s.GridTitleFont.face_name),
        ToQColor(s.GridTitleTextColor), ToQColor(s.GridTitleBkColor));
    m_pGrid->SetCellLook(GridFontFrom(s.GridFont.height, s.GridFont.weight, s.GridFont.face_name),
                         ToQColor(s.GridTextColor));
    m_pGrid->SetRowHeight(theApp.m_nGridRowHeight > 0 ? theApp.m_nGridRowHeight
                                                      : CGridCtrl::kDefaultRowHeight);
    connect(m_pGrid, &CGridCtrl::CellClicked, this, &CListPageDlg::OnGridClick);

    m_pLine = new CTPicture(this);
    m_pLine->LoadPictureFile(Q(skin.line));
    m_pLine->DrawPicture();
    m_pLine->move(DuToPxX(8), DuToPxY(336));

    m_pPerPageLabel = new CTStatic(QStringLiteral("Each page number"), this);
    m_pPerPageLabel->setGeometry(DuRect(8, 346, 76, 12));
    m_pPerPage = new QComboBox(this);
    m_pPerPage->setGeometry(DuRect(86, 344, 36, 14));
    for (int n : kPerPageSizes) m_pPerPage->addItem(QString::number(n), n);
    m_pPerPage->setCurrentIndex(1);
    MarkAsDataControl(m_pPerPage);
    connect(m_pPerPage, &QComboBox::currentIndexChanged, this,
            [this](int) { UpdateListData(1, m_nSortFlag ? 0 : 1, m_nCol, m_strContent); });

    m_pRefresh = new CTButtonPicture(this);
    m_pRefresh->setGeometry(DuRect(126, 344, 14, 14));
    m_pRefresh->SetStateImages(Q(skin.update[0]), Q(skin.update[1]), Q(skin.update[2]),
                               Q(skin.update[3]));
    connect(m_pRefresh, &QAbstractButton::clicked, this, [this] { RefreshPage(); });

    m_pOnlineCount = new CTStatic(OnlineCountText(0), this);
    m_pOnlineCount->setGeometry(DuRect(150, 346, 120, 12));

    m_pPager = new CTMultiPages(this);
    m_pPager->setGeometry(DuRect(330, 342, 277, 18));
    m_pPager->SetBkColor(ToQColor(s.ChildBkColor));
    m_pPager->BindPager(theApp.m_hChildWnd.data(), pageId);

    TranslateDialog(this);
    m_pPerPageLabel->ApplyStaticLook();
    m_pOnlineCount->ApplyStaticLook();
    m_pOnlineCount->SetTextColor(ToQColor(s.StaticTextNumberColor));
}

CListPageDlg::~CListPageDlg() = default;

int CListPageDlg::ColumnOf(Field field) const {
    for (int c = 0; c < int(m_columns.size()); ++c)
        if (m_columns[c].field == field) return c;
    return -1;
}

int CListPageDlg::PageSize() const {
    const int n = m_pPerPage->currentData().toInt();
    return n > 0 ? n : 30;
}

CTButtonPicture* CListPageDlg::AddActionButton(const char* caption, int slot, int widthDu) {
    const SkinPaths& skin = theApp.m_skin;
    auto* button = new CTButtonPicture(this);
    const int x = 8 + slot * 66;
    button->setGeometry(DuRect(x, 8, widthDu, 18));
    button->SetStateImages(Q(skin.search[0]), Q(skin.search[1]), Q(skin.search[2]),
                           Q(skin.search[3]));
    button->ApplyButtonLook(TrText(caption));
    return button;
}

void CListPageDlg::ShowSearchButton() {
    m_pSearchButton->setText(TrText("Search"));
    m_pSearchButton->show();
}

void CListPageDlg::UpdateListData(int page, int sort, int col, const QString& content) {
    LogUpdateListData();
    const int pageSize = PageSize();
    const int key = col >= 0 && col < int(m_columns.size()) && m_columns[col].sortKey >= 0
                        ? m_columns[col].sortKey
                        : 1;
    const std::string search = content.toStdString();
    std::vector<ap_info_stu> list;
    int pageCount = 0;
    int onlineCount = 0;
    auto query = [&](int p) {
        list.clear();
        pageCount = 0;
        onlineCount = 0;
        // A failed query leaves the list empty and both counts 0.
        if (m_services.store)
            m_services.store->QueryApList(key, list, pageCount, onlineCount, pageSize, p, sort != 0,
                                          search);
    };
    query(page);
    if (pageCount < page && page != 1) {
        // Devices went away: the page asked for no longer exists.
        page = 1;
        query(page);
    }
    m_nCol = col;
    m_nPage = page;
    const std::vector<ap_info_stu> pending =
        QueryPending(page, pageCount, int(list.size()), pageSize);
    UpdateShowList(list, pending);
    m_pGrid->SetSortMarker(col, sort != 0);
    m_pPager->SetCurrentPage(page);
    m_pPager->SetPageCount(pageCount);
    m_nOnlineCount = onlineCount;
    m_pOnlineCount->setText(OnlineCountText(onlineCount));
}

std::vector<ap_info_stu> CListPageDlg::QueryPending(int, int, int, int) { return {}; }

void CListPageDlg::UpdateShowList(const std::vector<ap_info_stu>& list,
                                  const std::vector<ap_info_stu>& pending) {
    LogUpdateShowList();
    m_pGrid->SetRedraw(false);
    m_pGrid->DeleteNonFixedRows();
    for (const ap_info_stu& r : list) FillRow(m_pGrid->InsertRow(), r, false);
    for (const ap_info_stu& r : pending) FillRow(m_pGrid->InsertRow(), r, true);
    m_pGrid->SetCheck(0, false);
    m_bAllSelected = false;
    m_pGrid->SetRedraw(true);
}

QString CListPageDlg::FieldText(Field field, const ap_info_stu& r) {
    switch (field) {
        case Field::Name:
            return FromLocal(r.ap_name, r.ap_name_len, sizeof r.ap_name);
        case Field::Type:
            return Q(GetApTypeText(r.ap_type));
        case Field::Ip:
            return Q(IpBytesToText(std::span<const uint8_t, 4>(r.ip, 4)));
        case Field::Mac:
            return QString::fromLatin1(r.mac, qsizetype(strnlen(r.mac, sizeof r.mac)));
        case Field::WorkMode:
            return Q(GetWorkModeText(r.work_mode, LanguageTranslator()));
        case Field::Ssid:
            return FromLocal(r.ssid, r.ssid_len, sizeof r.ssid);
        case Field::Channel:
            return Q(GetChannelText(r.channel, LanguageTranslator()));
        case Field::SecureMode:
            return Q(GetSecureModeText(r.secure_mode, LanguageTranslator()));
        case Field::Power:
            return QString::number(r.tx_power);
        case Field::Version:
            return FromLocal(r.version, r.version_len, sizeof r.version);
        case Field::Transparent:
            return Q(GetTransparentText(r.ap_type, r.work_mode, r.bridge_transparent,
                                        LanguageTranslator()));
        case Field::Tdma:
            return Q(GetTdmaText(r.ap_type, r.tdmaEn, LanguageTranslator()));
        case Field::Time:
            return Q(GetUpTimeText(r.up_time));
        case Field::Status:
            return Q(GetStatusText(r.ap_status, LanguageTranslator()));
        case Field::Check:
        case Field::Serial:
        case Field::Operate:
            break;
    }
    return QString();
}

void CListPageDlg::FillRow(int row, const ap_info_stu& record, bool) {
    for (int c = 0; c < int(m_columns.size()); ++c) {
        const Field f = m_columns[c].field;
        if (f == Field::Serial)
            m_pGrid->SetItemText(row, c, QString::number((m_nPage - 1) * PageSize() + row));
        else if (f != Field::Check && f != Field::Operate)
            m_pGrid->SetItemText(row, c, FieldText(f, record));
    }
}

void CListPageDlg::RefreshPage() {
    UpdateListData(m_nPage, m_nSortFlag ? 0 : 1, m_nCol, m_strContent);
}

void CListPageDlg::OnPageTurn(int value) {
    UpdateListData(value, m_nSortFlag ? 0 : 1, m_nCol, m_strContent);
}

void CListPageDlg::ToggleAllChecks() {
    m_bAllSelected = !m_bAllSelected;
    m_pGrid->SetCheck(0, m_bAllSelected);
    for (int r = 1; r <= m_pGrid->GetRowCount(); ++r) m_pGrid->SetCheck(r, m_bAllSelected);
}

void CListPageDlg::OnGridClick(int row, int col) {
    if (col < 0 || col >= int(m_columns.size())) return;
    const Column& column = m_columns[col];
    if (row == 0) {
        if (column.field == Field::Check) {
            ToggleAllChecks();
        } else if (column.sortKey >= 0) {
            UpdateListData(1, m_nSortFlag, col, m_strContent);
            m_nSortFlag = m_nSortFlag ? 0 : 1;
        }
        return;
    }
    if (column.field == Field::Check) m_pGrid->SetCheck(row, !m_pGrid->GetCheck(row));
}

void CListPageDlg::OnSearchTextChanged(const QString& text) {
    if (m_bIgnoreSearchChange) return;
    m_strContent = text;
    UpdateListData(1, m_nSortFlag ? 0 : 1, m_nCol, m_strContent);
}

std::vector<select_ap_entry> CListPageDlg::CheckedRows() const {
    std::vector<select_ap_entry> out;
    const int ip = ColumnOf(Field::Ip), mac = ColumnOf(Field::Mac), type = ColumnOf(Field::Type);
    for (int r = 1; r <= m_pGrid->GetRowCount(); ++r) {
        if (!m_pGrid->GetCheck(r)) continue;
        out.push_back(MakeSelectEntry(m_pGrid->GetItemText(r, ip).toStdString(),
                                      m_pGrid->GetItemText(r, mac).toStdString(),
                                      ApTypeFromText(m_pGrid->GetItemText(r, type).toStdString())));
    }
    return out;
}

void CListPageDlg::SetControlsEnabled(bool enabled) {
    m_pSearch->setEnabled(enabled);
    m_pGrid->setEnabled(enabled);
    m_pPerPage->setEnabled(enabled);
}
