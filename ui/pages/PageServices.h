#pragma once
// What the list pages use of the store, the engine and the desktop. The program binds them to
// the store and engine singletons; tests bind the store to their own and the engine calls to
// fakes or to an engine of their own, so a page never needs the process-wide engine.
// Engine calls may be made from page worker threads.

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/wire.h"

class AcTransmitManage;
class CSqlManagement;

struct PageServices {
    CSqlManagement* store = nullptr;

    std::function<void(std::vector<ap_info_stu>& list, int limit, const char* filter)>
        GetPendingManageApList;
    std::function<void()> UpdateCaptureDeviceList;
    std::function<void()> ReleasePendingManageAp;
    std::function<void()> DeletePendingManageAp;
    std::function<void()> DeleteUnmanagedApInfo;
    std::function<void()> SendDiscoverBroadcast;
    std::function<bool(const std::string& ip, uint16_t msgType, const uint8_t* data, int len,
                       const std::string& mac, bool retransmit)>
        SendPacketMutilcast;
    // Opens an address in the desktop's browser.
    std::function<void(const QString& url)> OpenUrl;
    // Message boxes: a warning with an empty caption, and an OK/Cancel question (true for OK).
    std::function<void(const QString& text)> Warning;
    std::function<bool(const QString& text)> Confirm;
    // Runs the waiting dialog modally (seconds, rediscovery, rounds).
    std::function<void(int seconds, bool rediscover, int rounds)> RunWait;
    // Turns the navigation panel's buttons on or off (off while the Status page searches).
    std::function<void(bool enabled)> EnableNavigation;
    // The page container's auto-refresh flag.
    std::function<void(bool on)> SetAutoRefresh;

    // Every entry bound to `engine` and `store` (either may be null: those calls then do
    // nothing) and to the program's own message boxes, wait dialog and main window.
    static PageServices ForEngine(AcTransmitManage* engine, CSqlManagement* store);
    // The program's binding: the application object's engine and store.
    static PageServices Default();
};
