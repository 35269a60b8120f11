#include "ui/tools/CSystemToolDlg.h"

#include <QHeaderView>
#include <QTableWidget>
#include <cstring>

#include "engine/AcTransmitManage.h"
#include "ui/controls/CTMultiPages.h"
#include "ui/controls/CTPicture.h"
#include "ui/controls/CTStatic.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/SkinFont.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CApplicationApp.h"
#include "ui/main/CChildDlg.h"
#include "ui/main/PageIds.h"

namespace {

QString Rgb(ColorRef c) {
    return QString("rgb(%1,%2,%3)").arg(ColorRed(c)).arg(ColorGreen(c)).arg(ColorBlue(c));
}

QFont GridFont(const GridFontRecord& record) {
    return CellHeightFont(QString::fromStdString(record.face_name), record.height, record.weight);
}

std::vector<local_adapter_info> EngineAdapters() {
    std::vector<local_adapter_info> list;
    // Asking the engine also refreshes its own list of local addresses.
    if (theApp.m_pTransmit) {
        theApp.m_pTransmit->GetLocalAdapterList(list);
    } else {
        list = platform::ListLocalAdapters();
    }
    return list;
}

}  // namespace

CSystemToolDlg::CSystemToolDlg(QWidget* parent, AdapterSource source)
    : CPageDlg(parent, IDD_SYSTEM_TOOL_PAGE),
      m_source(source ? std::move(source) : AdapterSource(EngineAdapters)),
      m_pCount(new CTStatic(this)),
      m_pGrid(new QTableWidget(this)),
      m_pLine(new CTPicture(this)),
      m_pPager(new CTMultiPages(this)) {
    const AppSettings& s = theApp.m_settings;
    m_pCount->setObjectName(QStringLiteral("static1017"));
    m_pCount->setGeometry(DuRect(8, 10, 205, 12));
    m_pGrid->setObjectName(QStringLiteral("grid1103"));
    m_pGrid->setGeometry(DuRect(7, 25, 598, 309));
    m_pLine->setObjectName(QStringLiteral("static1012"));
    m_pLine->setGeometry(DuRect(6, 338, 584, 1));
    m_pPager->setObjectName(QStringLiteral("pager1016"));
    m_pPager->setGeometry(DuRect(450, 344, 140, 14));

    TranslateDialog(this);
    m_bFill = true;
    m_fillColor = ToQColor(s.ChildBkColor);

    m_pCount->ApplyStaticLook();
    m_pCount->SetTextColor(ToQColor(s.StaticTextNumberColor));
    SetCount(0);

    // The adapter grid: one header row, four columns, 48-pixel rows, centred cells.
    const char* captions[4] = {"ID", "Description", "MAC", "IP"};
    const int widths[4] = {60, 400, 140, 400};
    m_pGrid->setColumnCount(4);
    QStringList headings;
    for (const char* caption : captions) headings << TrText(caption);
    m_pGrid->setHorizontalHeaderLabels(headings);
    for (int c = 0; c < 4; ++c) m_pGrid->setColumnWidth(c, widths[c]);
    m_pGrid->verticalHeader()->hide();
    m_pGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pGrid->verticalHeader()->setDefaultSectionSize(
        theApp.m_nGridRowHeight > 0 ? theApp.m_nGridRowHeight : kGridRowHeight);
    m_pGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_pGrid->horizontalHeader()->setFont(GridFont(s.GridTitleFont));
    m_pGrid->horizontalHeader()->setHighlightSections(false);
    m_pGrid->horizontalHeader()->setSectionsClickable(false);
    m_pGrid->setFont(GridFont(s.GridFont));
    m_pGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pGrid->setSelectionMode(QAbstractItemView::NoSelection);
    m_pGrid->setFocusPolicy(Qt::NoFocus);
    m_pGrid->setWordWrap(false);
    m_pGrid->setStyleSheet(
        QString("QTableWidget { background: %1; gridline-color: %2; border: 1px solid %2; }"
                "QHeaderView::section { color: %3; background: %4; border: 0px;"
                " border-right: 1px solid %2; border-bottom: 1px solid %2; padding: 4px; }")
            .arg(Rgb(s.ChildBkColor), Rgb(s.LineColor), Rgb(s.GridTitleTextColor),
                 Rgb(s.GridTitleBkColor)));

    m_pPager->BindPager(theApp.m_hChildWnd.data(), IDD_SYSTEM_TOOL_PAGE);
    m_pPager->SetBkColor(ToQColor(s.ChildBkColor));

    if (m_pLine->LoadPictureFile(QString::fromStdString(theApp.m_skin.line)))
        m_pLine->DrawPicture();

    Refresh();
    m_timer.setInterval(kRefreshMs);
    connect(&m_timer, &QTimer::timeout, this, &CSystemToolDlg::Refresh);
    m_timer.start();
}

QString CSystemToolDlg::MacText(const local_adapter_info& a) {
    return QString::asprintf("%02x:%02x:%02x:%02x:%02x:%02x", a.mac[0], a.mac[1], a.mac[2],
                             a.mac[3], a.mac[4], a.mac[5]);
}

QString CSystemToolDlg::IpText(const local_adapter_info& a) {
    const int count = qBound(0, int(a.address_count), platform::kMaxAdapterAddresses);
    QString text;
    for (int k = 0; k < count; ++k) {
        const char* ip = a.addresses[k].ip;
        text += QString::fromUtf8(ip, int(strnlen(ip, sizeof(a.addresses[k].ip))));
        if (k + 1 < count) text += QStringLiteral("--");
    }
    return text;
}

QString CSystemToolDlg::DescriptionText(const local_adapter_info& a) {
    return QString::fromUtf8(a.description, int(strnlen(a.description, sizeof(a.description))));
}

void CSystemToolDlg::Refresh() {
    const std::vector<local_adapter_info> adapters = m_source();
    const QColor textColor = ToQColor(theApp.m_settings.GridTextColor);
    m_pGrid->setUpdatesEnabled(false);
    m_pGrid->setRowCount(0);
    m_pGrid->setRowCount(int(adapters.size()));
    for (size_t i = 0; i < adapters.size(); ++i) {
        const local_adapter_info& a = adapters[i];
        const QString cells[4] = {QString::number(i + 1), DescriptionText(a), MacText(a),
                                  IpText(a)};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignCenter);
            item->setForeground(textColor);
            m_pGrid->setItem(int(i), c, item);
        }
    }
    m_pGrid->setUpdatesEnabled(true);
    SetCount(int(adapters.size()));
}

void CSystemToolDlg::SetCount(int count) {
    QString text = TrText("Adapter count:%d");
    text.replace(QStringLiteral("%d"), QString::number(count));
    m_pCount->setText(text);
    m_pCount->update();
}
