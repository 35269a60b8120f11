// The device store: the process-wide table of every device whose configuration report has
// arrived in this run, and of the networks seen by the latest site survey.
//
// Devices go in and come out as ap_info_stu records and surveyed networks as
// config_otherwl_basic records; nobody outside the store sees rows or SQL. The database is a
// scratch SQLite file ("data.mdb" beside the executable) deleted and created empty when the
// store is built and deleted again when it is destroyed.
//
// Texts: every text argument and every text in a record is narrow UTF-8. MAC texts are
// "%02x:%02x:%02x:%02x:%02x:%02x" (lower case), IP texts "%d.%d.%d.%d". Text columns compare
// and sort without regard to (ASCII) case.
//
// Threads and locking: any thread may call any operation at any time. lock_ guards the
// connection and every prepared statement; each operation holds it from before its first
// database call until after its last, so operations never interleave and a query sees a
// consistent table. ExecuteSql takes it once per attempt. The store calls nothing outside itself
// while holding lock_ except the pure text functions of common/, so it cannot take part in a
// lock-order cycle: callers may hold their own locks while calling in.
//
// Connection closed (the database could not be opened): every operation does nothing and
// returns false, 0 or leaves its outputs untouched.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/wire.h"

class CSqliteDatabase;
struct StoreStatements;

class CSqlManagement {
  public:
    // --- Process-wide instance ------------------------------------------------------------

    // The one store, built on the first call (by whoever comes first: start-up or the engine).
    static CSqlManagement* GetInstance();

    // Where GetInstance builds its database. Only effective before the first GetInstance.
    // The default is DefaultDatabasePath(); kInMemoryDatabase keeps everything in memory (the
    // command-line tool and the tests use it).
    static void SetDatabasePath(std::string path);
    static std::string DefaultDatabasePath();
    static constexpr const char* kInMemoryDatabase = ":memory:";

    // Receives the (translated) message shown when the database cannot be opened. The GUI
    // installs one that shows a box; without one the message goes to standard error. The
    // store itself shows nothing.
    using MessageSink = std::function<void(const std::string& message)>;
    static void SetMessageSink(MessageSink sink);

    // A store over its own database at `path` (a file, deleted first and made empty, or
    // kInMemoryDatabase). The program uses GetInstance; tests and tools may build their own.
    explicit CSqlManagement(std::string path);
    ~CSqlManagement();
    CSqlManagement(const CSqlManagement&) = delete;
    CSqlManagement& operator=(const CSqlManagement&) = delete;

    // True while the connection is open.
    bool IsOpen() const;
    const std::string& DatabasePath() const { return path_; }

    // Runs one statement that yields no rows; up to three attempts, each under the lock.
    bool ExecuteSql(std::string_view sql);

    // --- Writes ---------------------------------------------------------------------------

    // Upserts the device by its mac: one row per MAC, every column from the record, status 1
    // (online) whatever the record or the row said, display texts in the current language.
    // False when the connection is closed or the write fails.
    bool UpdateApInfo(const ap_info_stu& info);
    // Stores one site-survey answer packet: one row per surveyed access-point MAC, a later
    // report of the same MAC overwrites it. At most 32 entries are read. True unless the
    // connection is closed.
    bool UpdateOtherApInfo(const site_survey_answer& answer);
    // The same from the received bytes: reads only as far as `bytes` goes.
    bool UpdateOtherApInfo(std::span<const uint8_t> bytes);
    // Removes a device's row; true when the statement ran (also when there was no row).
    bool DeleteApInfo(std::string_view mac);
    // Removes every survey row.
    bool DeleteOtherApInfo();
    // A heartbeat: new uptime (and its text) and address for a stored device. Never adds a row;
    // false when the device is not stored.
    bool UpdateApUptime(std::string_view mac, std::string_view ip, uint32_t up_time);
    // Sets the status (and its text) of a stored device; false when it is not stored.
    bool SetApStatus(std::string_view mac, int status);
    // Status 6 (waiting for upgrade) -> 7 (upgrading); any other status is left alone (false).
    bool SetApUpgrading(std::string_view mac);
    // Status 9 (upgrade failed) -> 1 (online); any other status is left alone (false).
    bool ResetApUpgradeFailed(std::string_view mac);
    // True when the device is stored with status 6.
    bool IsApUpgradeWaiting(std::string_view mac);
    // The stored status; 0 when the device is not stored (indistinguishable from status 0).
    int GetApStatus(std::string_view mac);
    // True when a stored station (work_mode 2) is linked to this device's wireless network.
    bool HasBridgedStation(std::string_view mac);
    // The stored device at the other end of this device's wireless link: for a station the
    // access point whose network it is linked to, otherwise a station linked to this device.
    // On false peerMac is left untouched.
    bool GetBridgePeerMac(std::string_view mac, std::string& peerMac);

    // --- Queries --------------------------------------------------------------------------

    // One page of devices. sortKey 0..13 names the column (0 mac, 1 address (numeric),
    // 2 ap_name, 3 ap_type, 4 work_mode, 5 ssid, 6 channel, 7 secure_mode, 8 tx_power,
    // 9 version, 10 bridge_transparent, 11 tdmaEn, 12 up_time, 13 ap_status); ties are broken by
    // MAC so pages never overlap. A non-empty search keeps the devices where it occurs, as typed
    // and without regard to case, in the name, address, MAC, network name, version, channel,
    // transmit power or any display text. The page's records are appended to `list`;
    // pageCount (rounded up, 0 for no match) and onlineCount (matching devices with a non-zero
    // status, on every page) are written only when the query ran. page counts from 1; a page
    // past the end is empty. False for a closed connection, a sortKey outside 0..13, perPage < 1
    // or a failing statement.
    bool QueryApList(int sortKey, std::vector<ap_info_stu>& list, int& pageCount, int& onlineCount,
                     int perPage, int page, bool ascending, std::string_view search);
    // One device by MAC, or the first stored device when mac is empty. The record is zeroed
    // first and stays zeroed (empty mac text) when there is no such device. The link fields
    // (bridge_work_mode .. bridge_ssid_len), ip_flag and reserved bytes are always zero.
    void GetApInfo(std::string_view mac, ap_info_stu& info);
    // Every stored device's address text / MAC text, appended in the order they were stored.
    bool GetApIpList(std::vector<std::string>& list);
    bool GetApMacList(std::vector<std::string>& list);
    // The survey rows sorted by sortKey (0 mac, 1 ssid, 2 channel, 3 secure_mode, 4 signal),
    // appended to `list`. False for a closed connection or a sortKey outside 0..4.
    bool GetOtherApList(int sortKey, bool ascending, std::vector<config_otherwl_basic>& list);
    // One surveyed network by MAC; zeroed first, stays zeroed when it is not stored.
    void GetOtherApInfo(std::string_view mac, config_otherwl_basic& entry);

  private:
    bool Open();
    bool ChangeStatusFrom(std::string_view mac, int from, int to);
    template <class Fn>
    bool ExecuteWithRetry(Fn&& attempt);

    std::string path_;
    bool inMemory_ = false;
    // lock_ guards db_ and st_ (and the last-error text inside db_). st_ is null exactly when the
    // connection is closed.
    mutable std::mutex lock_;
    std::unique_ptr<CSqliteDatabase> db_;
    std::unique_ptr<StoreStatements> st_;
};
