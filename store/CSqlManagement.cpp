#include "store/CSqlManagement.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <tuple>
#include <utility>

#include "app/Language.h"
#include "common/ValueTables.h"
#include "platform/ProgramFolder.h"
#include "store/ApInfoColumns.h"
#include "store/CSqliteDatabase.h"

namespace {

constexpr int kStatusOnline = 1;
constexpr int kStatusUpgradeWait = 6;
constexpr int kStatusUpgrading = 7;
constexpr int kStatusUpgradeFail = 9;
constexpr int kWorkModeStation = 2;
constexpr int kExecuteAttempts = 3;

constexpr const char* kOpenFailedMessage = "Failed to open database, unable to get data.";

// The file dies with the run: nothing is worth a sync or an on-disk journal, and nobody else
// opens it.
constexpr const char* kScratchPragmas =
    "pragma synchronous=OFF;"
    "pragma journal_mode=MEMORY;"
    "pragma locking_mode=EXCLUSIVE;"
    "pragma temp_store=MEMORY;"
    "pragma cache_size=-16384;";

// The 14 columns the list search looks in: what the user sees of a device.
constexpr std::array<const char*, 14> kSearchColumns = {
    "ap_name",       "ip",          "mac",           "ssid",           "version",
    "work_mode_str", "channel",     "ap_type_str",   "tx_power",       "bridge_transparent_str",
    "tdmaEn_str",    "up_time_str", "ap_status_str", "secure_mode_str"};

std::string SearchClause() {
    std::string clause = " where (";
    for (size_t i = 0; i < kSearchColumns.size(); ++i) {
        if (i) clause += " or ";
        clause += "ap_info.";
        clause += kSearchColumns[i];
        clause += " like ?1 escape '\\'";
    }
    clause += ')';
    return clause;
}

struct Configuration {
    std::mutex lock;
    std::string path;
    CSqlManagement::MessageSink sink;
};

Configuration& Config() {
    static Configuration config;
    return config;
}

void ShowMessage(const std::string& key) {
    const std::string text = Translate(LanguageTranslator(), key);
    CSqlManagement::MessageSink sink;
    {
        std::lock_guard guard(Config().lock);
        sink = Config().sink;
    }
    if (sink) {
        sink(text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

}  // namespace

// Prepared statements of the open connection. Page and sort statements are made on first use.
struct StoreStatements {
    CSqliteStatement upsertAp;
    CSqliteStatement apByMac;
    CSqliteStatement firstAp;
    CSqliteStatement updateUptime;
    CSqliteStatement setStatus;
    CSqliteStatement setStatusFrom;  // only when the row has the given status
    CSqliteStatement statusExact;
    CSqliteStatement status;
    CSqliteStatement ssidMac;
    CSqliteStatement link;
    CSqliteStatement stationOf;  // a station linked to a network
    CSqliteStatement apOf;       // the non-station device owning a network
    CSqliteStatement ipList;
    CSqliteStatement macList;
    CSqliteStatement deleteAp;
    CSqliteStatement deleteOther;
    CSqliteStatement upsertOther;
    CSqliteStatement otherByMac;
    CSqliteStatement countAll;
    CSqliteStatement countSearch;
    std::map<std::tuple<int, bool, bool>, CSqliteStatement> pages;
    std::map<std::pair<int, bool>, CSqliteStatement> otherLists;

    bool Prepare(CSqliteDatabase& db) {
        const std::string& cols = store::ApReadColumns();
        upsertAp = db.Prepare(store::ApUpsertSql());
        apByMac = db.Prepare("select " + cols + " from ap_info where mac=?1");
        firstAp = db.Prepare("select " + cols + " from ap_info order by ID limit 1");
        updateUptime =
            db.Prepare("update ap_info set up_time=?2,up_time_str=?3,ip=?4,ip_num=?5 where mac=?1");
        setStatus = db.Prepare("update ap_info set ap_status=?2,ap_status_str=?3 where mac=?1");
        setStatusFrom = db.Prepare(
            "update ap_info set ap_status=?2,ap_status_str=?3 where mac=?1 and ap_status=?4");
        statusExact = db.Prepare("select 1 from ap_info where mac=?1 and ap_status=?2");
        status = db.Prepare("select ap_status from ap_info where mac=?1");
        ssidMac = db.Prepare("select ssid_mac from ap_info where mac=?1");
        link = db.Prepare("select work_mode,ssid_mac,bridge_mac from ap_info where mac=?1");
        stationOf = db.Prepare(
            "select mac from ap_info where work_mode=?1 and bridge_mac=?2 order by ID limit 1");
        apOf = db.Prepare(
            "select mac from ap_info where work_mode<>?1 and ssid_mac=?2 order by ID limit 1");
        ipList = db.Prepare("select ip from ap_info order by ID");
        macList = db.Prepare("select mac from ap_info order by ID");
        deleteAp = db.Prepare("delete from ap_info where mac=?1");
        deleteOther = db.Prepare("delete from ap_other_info");
        upsertOther = db.Prepare(
            "insert into ap_other_info(packet_count,packet_id,icount,mac,ssid,signal,channel,"
            "secure_mode,exchannel,bandwidth) values(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10) "
            "on conflict(mac) do update set packet_count=excluded.packet_count,"
            "packet_id=excluded.packet_id,icount=excluded.icount,ssid=excluded.ssid,"
            "signal=excluded.signal,channel=excluded.channel,secure_mode=excluded.secure_mode,"
            "exchannel=excluded.exchannel,bandwidth=excluded.bandwidth");
        otherByMac = db.Prepare("select " + store::OtherReadColumns() +
                                " from ap_other_info where mac=?1 order by ID limit 1");
        const std::string count = "select count(*),total(ap_status<>0) from ap_info";
        countAll = db.Prepare(count);
        countSearch = db.Prepare(count + SearchClause());
        for (const CSqliteStatement* s :
             {&upsertAp,      &apByMac,     &firstAp,    &updateUptime, &setStatus,
              &setStatusFrom, &statusExact, &status,     &ssidMac,      &link,
              &stationOf,     &apOf,        &ipList,     &macList,      &deleteAp,
              &deleteOther,   &upsertOther, &otherByMac, &countAll,     &countSearch}) {
            if (!s->IsValid()) return false;
        }
        return true;
    }

    CSqliteStatement* Page(CSqliteDatabase& db, int sortKey, bool ascending, bool search) {
        auto key = std::make_tuple(sortKey, ascending, search);
        auto it = pages.find(key);
        if (it == pages.end()) {
            const char* dir = ascending ? " asc" : " desc";
            // The MAC breaks ties so that consecutive pages never overlap or skip a device.
            const std::string order = std::string(" order by ap_info.") +
                                      store::ApSortColumn(sortKey) + dir + ",ap_info.mac" + dir;
            // The page is chosen by sorting row ids only; just its own rows are read whole.
            const std::string sql = "select " + store::ApReadColumns() +
                                    " from ap_info join (select ID as page_id from ap_info" +
                                    (search ? SearchClause() : std::string()) + order +
                                    " limit ?2 offset ?3) as page on ap_info.ID=page.page_id" +
                                    order;
            CSqliteStatement stmt = db.Prepare(sql);
            if (!stmt.IsValid()) return nullptr;
            it = pages.emplace(key, std::move(stmt)).first;
        }
        return &it->second;
    }

    CSqliteStatement* OtherList(CSqliteDatabase& db, int sortKey, bool ascending) {
        auto key = std::make_pair(sortKey, ascending);
        auto it = otherLists.find(key);
        if (it == otherLists.end()) {
            const char* dir = ascending ? " asc" : " desc";
            const std::string sql = "select " + store::OtherReadColumns() +
                                    " from ap_other_info order by " +
                                    store::OtherSortColumn(sortKey) + dir + ",mac" + dir;
            CSqliteStatement stmt = db.Prepare(sql);
            if (!stmt.IsValid()) return nullptr;
            it = otherLists.emplace(key, std::move(stmt)).first;
        }
        return &it->second;
    }
};

// ---------------------------------------------------------------------------------------------
// Instance, construction and destruction

CSqlManagement* CSqlManagement::GetInstance() {
    static CSqlManagement instance([] {
        std::lock_guard guard(Config().lock);
        return Config().path.empty() ? DefaultDatabasePath() : Config().path;
    }());
    return &instance;
}

void CSqlManagement::SetDatabasePath(std::string path) {
    std::lock_guard guard(Config().lock);
    Config().path = std::move(path);
}

std::string CSqlManagement::DefaultDatabasePath() {
    return platform::GetProgramFolder() + "data.mdb";
}

void CSqlManagement::SetMessageSink(MessageSink sink) {
    std::lock_guard guard(Config().lock);
    Config().sink = std::move(sink);
}

CSqlManagement::CSqlManagement(std::string path)
    : path_(std::move(path)), inMemory_(path_ == kInMemoryDatabase) {
    if (!Open()) ShowMessage(kOpenFailedMessage);
}

CSqlManagement::~CSqlManagement() {
    {
        std::lock_guard guard(lock_);
        st_.reset();  // statements go before their connection
        if (db_) db_->Close();
    }
    if (!inMemory_) {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
}

bool CSqlManagement::Open() {
    std::lock_guard guard(lock_);
    db_ = std::make_unique<CSqliteDatabase>();
    if (inMemory_) {
        // An in-memory database lives only as long as its connection: build the schema on the
        // connection that stays open.
        if (!db_->Open(path_, true)) return false;
        for (const std::string& sql : store::SchemaStatements()) db_->Execute(sql);
    } else {
        std::error_code ec;
        std::filesystem::remove(path_, ec);  // a failure (no such file) is of no interest
        // A file that could not be removed is opened as it is.
        if (!std::filesystem::exists(path_, ec)) {
            CSqliteDatabase creator;
            if (creator.Open(path_, true)) {
                creator.Execute(kScratchPragmas);
                for (const std::string& sql : store::SchemaStatements()) {
                    for (int attempt = 0; attempt < kExecuteAttempts; ++attempt) {
                        if (creator.Execute(sql)) break;
                    }
                }
                creator.Close();
            }
        }
        if (!db_->Open(path_, false)) return false;
    }
    db_->Execute(kScratchPragmas);
    auto statements = std::make_unique<StoreStatements>();
    // A file that is no database of ours (or none at all) cannot prepare the statements.
    if (!statements->Prepare(*db_)) {
        statements.reset();
        db_->Close();
        return false;
    }
    st_ = std::move(statements);
    return true;
}

bool CSqlManagement::IsOpen() const {
    std::lock_guard guard(lock_);
    return st_ != nullptr;
}

template <class Fn>
bool CSqlManagement::ExecuteWithRetry(Fn&& attempt) {
    for (int i = 0; i < kExecuteAttempts; ++i) {
        std::lock_guard guard(lock_);
        if (st_ && attempt()) return true;
    }
    return false;
}

bool CSqlManagement::ExecuteSql(std::string_view sql) {
    return ExecuteWithRetry([&] { return db_->Execute(sql); });
}

// ---------------------------------------------------------------------------------------------
// Writes

bool CSqlManagement::UpdateApInfo(const ap_info_stu& info) {
    // Texts first, outside the lock: every report marks the device online.
    const std::vector<store::RowValue> row =
        store::MakeApRow(info, kStatusOnline, LanguageTranslator());
    std::lock_guard guard(lock_);
    if (!st_) return false;
    CSqliteStatement& s = st_->upsertAp;
    CStatementScope scope(s);
    store::BindRow(s, row);
    return s.Run();
}

bool CSqlManagement::UpdateOtherApInfo(const site_survey_answer& answer) {
    return UpdateOtherApInfo(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&answer), sizeof(answer)));
}

bool CSqlManagement::UpdateOtherApInfo(std::span<const uint8_t> bytes) {
    constexpr size_t kHead = offsetof(site_survey_answer, entries);
    if (bytes.size() < kHead) {
        std::lock_guard guard(lock_);
        return st_ != nullptr;
    }
    const uint8_t packetCount = bytes[0];
    const uint8_t packetId = bytes[1];
    const uint8_t icount = bytes[2];
    // Only whole entries that are present, and never more than a packet holds.
    const size_t present = (bytes.size() - kHead) / sizeof(config_otherwl_basic);
    const size_t n = std::min({static_cast<size_t>(icount), present, kMaxSurveyEntries});

    struct Entry {
        std::string mac, ssid;
        config_otherwl_basic raw;
    };
    std::vector<Entry> entries(n);
    for (size_t i = 0; i < n; ++i) {
        Entry& e = entries[i];
        std::memcpy(&e.raw, bytes.data() + kHead + i * sizeof(config_otherwl_basic),
                    sizeof(config_otherwl_basic));
        e.mac = MacBytesToText(e.raw.mac);
        e.ssid = store::FieldText(e.raw.ssid, sizeof(e.raw.ssid), e.raw.ssid_len);
    }

    std::lock_guard guard(lock_);
    if (!st_) return false;
    CSqliteStatement& s = st_->upsertOther;
    for (const Entry& e : entries) {
        CStatementScope scope(s);
        s.BindInt(1, packetCount);
        s.BindInt(2, packetId);
        s.BindInt(3, icount);
        s.BindText(4, e.mac);
        s.BindText(5, e.ssid);
        s.BindInt(6, e.raw.signal);
        s.BindInt(7, e.raw.channel);
        s.BindInt(8, e.raw.secure_mode);
        s.BindInt(9, e.raw.exchannel);
        s.BindInt(10, e.raw.bandwidth);
        s.Run();  // an entry that cannot be written is skipped
    }
    return true;
}

bool CSqlManagement::DeleteApInfo(std::string_view mac) {
    return ExecuteWithRetry([&] {
        CSqliteStatement& s = st_->deleteAp;
        CStatementScope scope(s);
        s.BindText(1, mac);
        return s.Run();
    });
}

bool CSqlManagement::DeleteOtherApInfo() {
    return ExecuteWithRetry([&] {
        CSqliteStatement& s = st_->deleteOther;
        CStatementScope scope(s);
        return s.Run();
    });
}

bool CSqlManagement::UpdateApUptime(std::string_view mac, std::string_view ip, uint32_t up_time) {
    const std::string upTimeText = GetUpTimeText(up_time);
    const double ipNumber = static_cast<double>(IpTextToNumber(ip));
    std::lock_guard guard(lock_);
    if (!st_) return false;
    CSqliteStatement& s = st_->updateUptime;
    CStatementScope scope(s);
    s.BindText(1, mac);
    s.BindInt(2, up_time);
    s.BindText(3, upTimeText);
    s.BindText(4, ip);
    s.BindDouble(5, ipNumber);
    return s.Run() && db_->Changes() > 0;
}

bool CSqlManagement::SetApStatus(std::string_view mac, int status) {
    const std::string text = GetStatusText(status, LanguageTranslator());
    std::lock_guard guard(lock_);
    if (!st_) return false;
    CSqliteStatement& s = st_->setStatus;
    CStatementScope scope(s);
    s.BindText(1, mac);
    s.BindInt(2, status);
    s.BindText(3, text);
    return s.Run() && db_->Changes() > 0;
}

bool CSqlManagement::ChangeStatusFrom(std::string_view mac, int from, int to) {
    const std::string text = GetStatusText(to, LanguageTranslator());
    std::lock_guard guard(lock_);
    if (!st_) return false;
    CSqliteStatement& s = st_->setStatusFrom;
    CStatementScope scope(s);
    s.BindText(1, mac);
    s.BindInt(2, to);
    s.BindText(3, text);
    s.BindInt(4, from);
    return s.Run() && db_->Changes() > 0;
}

bool CSqlManagement::SetApUpgrading(std::string_view mac) {
    return ChangeStatusFrom(mac, kStatusUpgradeWait, kStatusUpgrading);
}

bool CSqlManagement::ResetApUpgradeFailed(std::string_view mac) {
    return ChangeStatusFrom(mac, kStatusUpgradeFail, kStatusOnline);
}

bool CSqlManagement::IsApUpgradeWaiting(std::string_view mac) {
    std::lock_guard guard(lock_);
    if (!st_) return false;
    CSqliteStatement& s = st_->statusExact;
    CStatementScope scope(s);
    s.BindText(1, mac);
    s.BindInt(2, kStatusUpgradeWait);
    return s.Step();
}

int CSqlManagement::GetApStatus(std::string_view mac) {
    std::lock_guard guard(lock_);
    if (!st_) return 0;
    CSqliteStatement& s = st_->status;
    CStatementScope scope(s);
    s.BindText(1, mac);
    return s.Step() ? static_cast<int>(s.ColumnInt(0)) : 0;
}

bool CSqlManagement::HasBridgedStation(std::string_view mac) {
    std::lock_guard guard(lock_);
    if (!st_) return false;
    std::string ssidMac;
    {
        CSqliteStatement& s = st_->ssidMac;
        CStatementScope scope(s);
        s.BindText(1, mac);
        if (!s.Step()) return false;
        ssidMac = store::Trim(s.ColumnText(0));
    }
    CSqliteStatement& s = st_->stationOf;
    CStatementScope scope(s);
    s.BindInt(1, kWorkModeStation);
    s.BindText(2, ssidMac);
    return s.Step();
}

bool CSqlManagement::GetBridgePeerMac(std::string_view mac, std::string& peerMac) {
    std::lock_guard guard(lock_);
    if (!st_) return false;
    int64_t workMode = 0;
    std::string ssidMac, bridgeMac;
    {
        CSqliteStatement& s = st_->link;
        CStatementScope scope(s);
        s.BindText(1, mac);
        if (!s.Step()) return false;
        workMode = s.ColumnInt(0);
        ssidMac = store::Trim(s.ColumnText(1));
        bridgeMac = store::Trim(s.ColumnText(2));
    }
    // A station looks for the access point owning the network it is linked to; anything else
    // looks for a station linked to its own network.
    const bool station = workMode == kWorkModeStation;
    CSqliteStatement& s = station ? st_->apOf : st_->stationOf;
    CStatementScope scope(s);
    s.BindInt(1, kWorkModeStation);
    s.BindText(2, station ? bridgeMac : ssidMac);
    if (!s.Step()) return false;
    peerMac = store::Trim(s.ColumnText(0));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Queries

bool CSqlManagement::QueryApList(int sortKey, std::vector<ap_info_stu>& list, int& pageCount,
                                 int& onlineCount, int perPage, int page, bool ascending,
                                 std::string_view search) {
    if (!store::ApSortColumn(sortKey) || perPage < 1) return false;
    const bool searching = !search.empty();
    const std::string pattern = searching ? store::LikeSubstringPattern(search) : std::string();

    std::lock_guard guard(lock_);
    if (!st_) return false;

    int64_t total = 0, online = 0;
    {
        CSqliteStatement& s = searching ? st_->countSearch : st_->countAll;
        CStatementScope scope(s);
        if (searching) s.BindText(1, pattern);
        if (!s.Step()) return false;
        total = s.ColumnInt(0);
        online = static_cast<int64_t>(s.ColumnDouble(1));
    }

    // Rows (page - 1) * perPage up to page * perPage - 1; none before page 1.
    const int64_t offset = (static_cast<int64_t>(page) - 1) * perPage;
    if (page >= 1 && offset < total) {
        CSqliteStatement* s = st_->Page(*db_, sortKey, ascending, searching);
        if (!s) return false;
        CStatementScope scope(*s);
        if (searching) s->BindText(1, pattern);
        s->BindInt(2, perPage);
        s->BindInt(3, offset);
        const size_t before = list.size();
        while (s->Step()) {
            ap_info_stu& info = list.emplace_back();
            std::memset(&info, 0, sizeof(info));
            store::ReadApRow(*s, info);
        }
        if (s->Failed()) {
            list.resize(before);
            return false;
        }
    }
    pageCount = static_cast<int>((total + perPage - 1) / perPage);
    onlineCount = static_cast<int>(online);
    return true;
}

void CSqlManagement::GetApInfo(std::string_view mac, ap_info_stu& info) {
    std::memset(&info, 0, sizeof(info));
    std::lock_guard guard(lock_);
    if (!st_) return;
    CSqliteStatement& s = mac.empty() ? st_->firstAp : st_->apByMac;
    CStatementScope scope(s);
    if (!mac.empty()) s.BindText(1, mac);
    if (s.Step()) store::ReadApRow(s, info);
}

namespace {

// Appends the trimmed text of the first column of every row; the list is left alone on an error.
bool ReadTextColumn(CSqliteStatement& s, std::vector<std::string>& list) {
    CStatementScope scope(s);
    std::vector<std::string> rows;
    while (s.Step()) rows.emplace_back(store::Trim(s.ColumnText(0)));
    if (s.Failed()) return false;
    list.insert(list.end(), std::make_move_iterator(rows.begin()),
                std::make_move_iterator(rows.end()));
    return true;
}

}  // namespace

bool CSqlManagement::GetApIpList(std::vector<std::string>& list) {
    std::lock_guard guard(lock_);
    return st_ && ReadTextColumn(st_->ipList, list);
}

bool CSqlManagement::GetApMacList(std::vector<std::string>& list) {
    std::lock_guard guard(lock_);
    return st_ && ReadTextColumn(st_->macList, list);
}

bool CSqlManagement::GetOtherApList(int sortKey, bool ascending,
                                    std::vector<config_otherwl_basic>& list) {
    if (!store::OtherSortColumn(sortKey)) return false;
    std::lock_guard guard(lock_);
    if (!st_) return false;
    CSqliteStatement* s = st_->OtherList(*db_, sortKey, ascending);
    if (!s) return false;
    CStatementScope scope(*s);
    std::vector<config_otherwl_basic> rows;
    while (s->Step()) {
        config_otherwl_basic& entry = rows.emplace_back();
        std::memset(&entry, 0, sizeof(entry));
        store::ReadOtherRow(*s, entry);
    }
    if (s->Failed()) return false;
    list.insert(list.end(), rows.begin(), rows.end());
    return true;
}

void CSqlManagement::GetOtherApInfo(std::string_view mac, config_otherwl_basic& entry) {
    std::memset(&entry, 0, sizeof(entry));
    std::lock_guard guard(lock_);
    if (!st_) return;
    CSqliteStatement& s = st_->otherByMac;
    CStatementScope scope(s);
    s.BindText(1, mac);
    if (s.Step()) store::ReadOtherRow(s, entry);
}
