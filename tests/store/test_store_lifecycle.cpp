// The database file: replaced at start, removed at the end, and a store that cannot open one.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "StoreTestUtil.h"
#include "app/Language.h"

using namespace storetest;
namespace fs = std::filesystem;

namespace {

class TempFolder {
  public:
    TempFolder() {
        static int counter = 0;
        path_ = fs::temp_directory_path() /
                ("merrowin-store-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

// Collects what the store would show the user.
class MessageCapture {
  public:
    MessageCapture() {
        CSqlManagement::SetMessageSink([this](const std::string& m) { messages.push_back(m); });
    }
    ~MessageCapture() { CSqlManagement::SetMessageSink({}); }
    std::vector<std::string> messages;
};

// A database left by an earlier run, holding one device.
void WriteOldDatabase(const fs::path& file) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "create table ap_info(mac text, ip text);"
                           "insert into ap_info values('00:1a:2b:00:00:01','10.0.0.1');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
}

TEST(StoreFile, ExistingFileIsReplacedAndTheFileGoesAtTheEnd) {
    TempFolder folder;
    const fs::path file = folder.Path() / "data.mdb";
    WriteOldDatabase(file);
    {
        MessageCapture capture;
        CSqlManagement store(file.string());
        EXPECT_TRUE(store.IsOpen());
        EXPECT_TRUE(capture.messages.empty());
        std::vector<std::string> macs;
        ASSERT_TRUE(store.GetApMacList(macs));
        EXPECT_TRUE(macs.empty());
        // The new file holds the whole schema: a full report and a survey go in.
        EXPECT_TRUE(store.UpdateApInfo(MakeRecord(MacText(5), "10.0.0.5", "new")));
        EXPECT_TRUE(store.UpdateOtherApInfo(MakeAnswer(1, 0, {MakeEntry(1, "n", 3)})));
        EXPECT_TRUE(fs::exists(file));
    }
    EXPECT_FALSE(fs::exists(file));
}

TEST(StoreFile, DefaultFileLivesBesideTheExecutable) {
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(fs::path(CSqlManagement::DefaultDatabasePath()), exe.parent_path() / "data.mdb");
}

// The process-wide store is built once, where it was pointed before the first use.
TEST(StoreFile, InstanceIsBuiltOnceAtTheConfiguredPath) {
    static TempFolder folder;  // outlives the instance's own removal of its file at exit
    const std::string path = (folder.Path() / "data.mdb").string();
    CSqlManagement::SetDatabasePath(path);
    CSqlManagement* store = CSqlManagement::GetInstance();
    CSqlManagement::SetDatabasePath(CSqlManagement::kInMemoryDatabase);  // too late: no effect
    EXPECT_EQ(CSqlManagement::GetInstance(), store);
    EXPECT_EQ(store->DatabasePath(), path);
    EXPECT_TRUE(store->IsOpen());
    EXPECT_TRUE(fs::exists(path));
}

// Nothing can be created below a regular file (this holds for root too). The store says so once
// and then does nothing.
TEST(StoreFile, UnusableFolderGivesTheMessageAndEveryOperationDoesNothing) {
    TempFolder folder;
    const fs::path blocker = folder.Path() / "not-a-folder";
    std::ofstream(blocker) << "x";
    MessageCapture capture;
    CSqlManagement store((blocker / "data.mdb").string());

    ASSERT_EQ(capture.messages,
              std::vector<std::string>{"Failed to open database, unable to get data."});
    EXPECT_FALSE(store.IsOpen());
    const std::string mac = MacText(1);
    EXPECT_FALSE(store.UpdateApInfo(MakeRecord(mac, "10.0.0.1", "a")));
    EXPECT_FALSE(store.UpdateOtherApInfo(MakeAnswer(1, 0, {MakeEntry(1, "n", 3)})));
    EXPECT_FALSE(store.DeleteApInfo(mac));
    EXPECT_FALSE(store.DeleteOtherApInfo());
    EXPECT_FALSE(store.UpdateApUptime(mac, "10.0.0.1", 5));
    EXPECT_FALSE(store.SetApStatus(mac, 4));
    EXPECT_FALSE(store.SetApUpgrading(mac));
    EXPECT_FALSE(store.ResetApUpgradeFailed(mac));
    EXPECT_FALSE(store.IsApUpgradeWaiting(mac));
    EXPECT_EQ(store.GetApStatus(mac), 0);
    EXPECT_FALSE(store.HasBridgedStation(mac));
    std::string peer = "kept";
    EXPECT_FALSE(store.GetBridgePeerMac(mac, peer));
    EXPECT_EQ(peer, "kept");
    EXPECT_FALSE(store.ExecuteSql("delete from ap_info"));

    std::vector<ap_info_stu> list;
    int pages = 0, online = 0;
    EXPECT_FALSE(store.QueryApList(1, list, pages, online, 30, 1, true, ""));
    EXPECT_FALSE(store.QueryApList(1, list, pages, online, 30, 1, true, "a"));
    EXPECT_TRUE(list.empty());
    ap_info_stu info;
    std::memset(&info, 0x5a, sizeof info);
    store.GetApInfo(mac, info);
    EXPECT_EQ(info.mac[0], '\0');
    std::vector<std::string> texts;
    EXPECT_FALSE(store.GetApIpList(texts));
    EXPECT_FALSE(store.GetApMacList(texts));
    std::vector<config_otherwl_basic> other;
    EXPECT_FALSE(store.GetOtherApList(0, true, other));
    EXPECT_TRUE(texts.empty() && other.empty());
    EXPECT_EQ(capture.messages.size(), 1u);
}

TEST(StoreFile, FileThatIsNoDatabaseCountsAsUnopened) {
    TempFolder folder;
    MessageCapture capture;
    // A folder named data.mdb cannot be removed as a file, so the store finds it still there.
    const fs::path file = folder.Path() / "data.mdb";
    fs::create_directories(file / "inside");
    CSqlManagement store(file.string());
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(capture.messages.size(), 1u);
}

// The message and the display texts go through the language lookup.
TEST(StoreFile, MessageAndDisplayTextsAreTranslated) {
    TempFolder folder;
    fs::create_directories(folder.Path() / "Languages");
    setenv("LC_ALL", "en_US.UTF-8", 1);
    std::ofstream(folder.Path() / "Languages" / "Language.ini") << "[LCID]\n1033=Test\n";
    std::ofstream(folder.Path() / "Languages" / "Test.lng")
        << "[ProgramOutStr]\n"
           "Failed to open database, unable to get data.=Keine Datenbank\n"
           "Upgrade wait=Wartet auf Update\n";
    LoadLanguage(folder.Path().string() + "/");

    {
        MessageCapture capture;
        CSqlManagement broken((folder.Path() / "Languages" / "Test.lng" / "data.mdb").string());
        EXPECT_EQ(capture.messages, std::vector<std::string>{"Keine Datenbank"});
    }
    auto store = MemoryStore();
    ASSERT_TRUE(store->UpdateApInfo(MakeRecord(MacText(1), "10.0.0.1", "a")));
    ASSERT_TRUE(store->SetApStatus(MacText(1), 6));
    std::vector<ap_info_stu> list;
    int pages = 0, online = 0;
    ASSERT_TRUE(store->QueryApList(0, list, pages, online, 10, 1, true, "wartet"));
    EXPECT_EQ(list.size(), 1u);

    LoadLanguage(folder.Path().string() + "/missing/");  // back to the source texts
}

}  // namespace
