#include "ui/pages/PageServices.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "engine/AcTransmitManage.h"
#include "ui/main/CApplicationApp.h"
#include "ui/main/CApplicationDlg.h"
#include "ui/main/CChildDlg.h"
#include "ui/main/CMenuDlg.h"
#include "ui/main/CWaitDlg.h"

namespace {

QWidget* DialogParent() { return theApp.m_hChildWnd.data(); }

}  // namespace

PageServices PageServices::ForEngine(AcTransmitManage* engine, CSqlManagement* store) {
    PageServices s;
    s.store = store;
    if (engine) {
        s.GetPendingManageApList = [engine](std::vector<ap_info_stu>& list, int limit,
                                            const char* filter) {
            engine->GetPendingManageApList(list, limit, filter);
        };
        s.UpdateCaptureDeviceList = [engine] { engine->UpdateCaptureDeviceList(); };
        s.ReleasePendingManageAp = [engine] { engine->ReleasePendingManageAp(); };
        s.DeletePendingManageAp = [engine] { engine->DeletePendingManageAp(); };
        s.DeleteUnmanagedApInfo = [engine] { engine->DeleteUnmanagedApInfo(); };
        s.SendDiscoverBroadcast = [engine] { engine->SendDiscoverBroadcast(); };
        s.SendPacketMutilcast = [engine](const std::string& ip, uint16_t type, const uint8_t* data,
                                         int len, const std::string& mac, bool retransmit) {
            return engine->SendPacketMutilcast(ip, type, data, len, mac, retransmit);
        };
    }
    s.OpenUrl = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };
    s.Warning = [](const QString& text) { QMessageBox::warning(DialogParent(), QString(), text); };
    s.Confirm = [](const QString& text) {
        return QMessageBox::question(DialogParent(), QString(), text,
                                     QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    };
    s.RunWait = [release = s.ReleasePendingManageAp, broadcast = s.SendDiscoverBroadcast](
                    int seconds, bool rediscover, int rounds) {
        CWaitDlg dlg(seconds, rediscover, rounds, DialogParent(),
                     CWaitDlg::Engine{release, broadcast});
        dlg.exec();
    };
    s.EnableNavigation = [](bool enabled) {
        auto* container = qobject_cast<CChildDlg*>(theApp.m_hChildWnd.data());
        auto* main =
            container ? qobject_cast<CApplicationDlg*>(container->parentWidget()) : nullptr;
        CMenuDlg* menu = main ? main->MenuPanel() : nullptr;
        if (!menu) return;
        for (int i = 0; i < int(CMenuDlg::kEntries.size()); ++i)
            if (CTButtonPicture* b = menu->Button(i)) b->setEnabled(enabled);
    };
    s.SetAutoRefresh = [](bool on) {
        if (auto* container = qobject_cast<CChildDlg*>(theApp.m_hChildWnd.data()))
            container->SetAutoRefresh(on);
    };
    return s;
}

PageServices PageServices::Default() { return ForEngine(theApp.m_pTransmit, theApp.m_pSql); }
