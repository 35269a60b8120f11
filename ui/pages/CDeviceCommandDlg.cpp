#include "ui/pages/CDeviceCommandDlg.h"

#include "app/Language.h"
#include "common/ValueTables.h"
#include "store/CSqlManagement.h"
#include "ui/controls/CGridCtrl.h"
#include "ui/controls/CTButtonPicture.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CApplicationApp.h"

CDeviceCommandDlg::CDeviceCommandDlg(QWidget* parent, const Kind& kind, std::vector<Column> columns,
                                     PageServices services)
    : CListPageDlg(parent, kind.pageId, std::move(columns), COL_IP, std::move(services)),
      m_kind(kind) {
    m_pAction = AddActionButton(kind.button, 0);
    connect(m_pAction, &QAbstractButton::clicked, this, &CDeviceCommandDlg::OnActionButton);
    m_pGrid->SetHandColumns({COL_CHECK});

    m_statusTimer.setInterval(1000);
    connect(&m_statusTimer, &QTimer::timeout, this, [this] { OnTimer(TIMER_STATUS); });
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(1000);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] { OnTimer(TIMER_REFRESH); });
}

CDeviceCommandDlg::~CDeviceCommandDlg() {
    m_statusTimer.stop();
    m_refreshTimer.stop();
    m_commandWorker.Stop();
}

void CDeviceCommandDlg::FillRow(int row, const ap_info_stu& record, bool pending) {
    CListPageDlg::FillRow(row, record, pending);
    if (record.ap_status != 0)
        m_pGrid->SetItemFgColour(row, m_kind.statusColumn,
                                 ToQColor(theApp.m_settings.TextOnlineColor));
}

void CDeviceCommandDlg::SendCommands(std::stop_token stop, std::vector<select_ap_entry> left,
                                     uint16_t request, const PageServices& services) {
    if (!services.SendPacketMutilcast) return;
    auto send = [&](const select_ap_entry& e) {
        services.SendPacketMutilcast(e.Ip(), request, nullptr, 0, e.Mac(), true);
    };
    // Access points go first: restarting a station first would leave its access point's
    // request to cross a link that is already down.
    std::vector<select_ap_entry> later;
    for (const select_ap_entry& e : left) {
        if (stop.stop_requested()) return;
        if (services.store && services.store->HasBridgedStation(e.Mac()))
            send(e);
        else
            later.push_back(e);
    }
    if (!CPageWorker::SleepFor(stop, std::chrono::milliseconds(kStationPauseMs))) return;
    for (const select_ap_entry& e : later) {
        if (stop.stop_requested()) return;
        send(e);
    }
}

void CDeviceCommandDlg::OnActionButton() {
    m_selection = CheckedRows();
    if (m_selection.empty()) {
        if (m_services.Warning) m_services.Warning(TrText("Please select the devices!"));
        return;
    }
    if (!m_services.Confirm || !m_services.Confirm(TrText(m_kind.confirmation))) return;

    m_commandWorker.Start([selection = m_selection, request = m_kind.request,
                           services = m_services](std::stop_token stop) {
        SendCommands(stop, selection, request, services);
    });
    m_statusTimer.start();
    if (m_services.RunWait) m_services.RunWait(kWaitSeconds, true, m_kind.rounds);
    m_statusTimer.stop();
    if (m_services.SendDiscoverBroadcast) m_services.SendDiscoverBroadcast();
    m_refreshTimer.start();
}

void CDeviceCommandDlg::OnTimer(int timerId) {
    if (timerId == TIMER_STATUS) {
        if (!m_services.store) return;
        const QColor online = ToQColor(theApp.m_settings.TextOnlineColor);
        for (const select_ap_entry& e : m_selection) {
            const int status = m_services.store->GetApStatus(e.Mac());
            const QString text = QString::fromStdString(
                GetStatusText(status, [](const std::string& s) { return TranslateText(s); }));
            const QString mac = QString::fromStdString(e.Mac());
            for (int r = 1; r <= m_pGrid->GetRowCount(); ++r) {
                if (m_pGrid->GetItemText(r, COL_MAC) != mac) continue;
                m_pGrid->SetItemText(r, m_kind.statusColumn, text);
                m_pGrid->SetItemFgColour(r, m_kind.statusColumn, online);
            }
        }
        m_pGrid->viewport()->update();
    } else if (timerId == TIMER_REFRESH) {
        m_refreshTimer.stop();
        RefreshPage();
    }
}
