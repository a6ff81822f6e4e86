#include "platform/core/AtomicFile.h"
#include "platform/core/FileSecretStore.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace vm {
namespace {

namespace fs = std::filesystem;

class FileSecretStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(std::getenv("HOME")) /
                  ("secrets-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_;
};

const SecretQuery kToken{"com.example.token", "token", "token"};

TEST_F(FileSecretStoreTest, AddFindUpdateKeepOneItemPerQuery) {
    FileSecretStore store(folder_ / "secrets.plist");
    EXPECT_EQ(store.find(kToken), std::nullopt);
    EXPECT_EQ(store.update(kToken, "x"), kSecretItemNotFound);

    const Bytes binary("a\0b\xff", 4);
    EXPECT_EQ(store.add(kToken, binary), kSecretSuccess);
    EXPECT_EQ(store.add(kToken, "again"), kSecretDuplicateItem);
    EXPECT_EQ(store.find(kToken), binary);

    const SecretQuery other{"com.example.token", "other", "token"};
    EXPECT_EQ(store.find(other), std::nullopt);
    EXPECT_EQ(store.add(other, "second"), kSecretSuccess);
    EXPECT_EQ(store.update(kToken, "new"), kSecretSuccess);

    // A second store on the same file sees what the first wrote.
    FileSecretStore reread(store.path());
    EXPECT_EQ(reread.find(kToken), "new");
    EXPECT_EQ(reread.find(other), "second");
}

TEST_F(FileSecretStoreTest, FileIsReadableOnlyByTheUser) {
    FileSecretStore store(folder_ / "secrets.plist");
    ASSERT_EQ(store.add(kToken, "secret"), kSecretSuccess);
    struct stat st {};
    ASSERT_EQ(::stat(store.path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(FileSecretStoreTest, UnreadableFileIsKeptAsideNotOverwritten) {
    const auto path = folder_ / "secrets.plist";
    ASSERT_TRUE(writeFileAtomically(path, "not a property list"));
    FileSecretStore store(path);
    EXPECT_EQ(store.find(kToken), std::nullopt);

    test::LogCapture logs;
    EXPECT_EQ(store.add(kToken, "secret"), kSecretSuccess);
    EXPECT_TRUE(logs.contains("FileSecretStore:unreadable secrets:"));
    std::vector<std::string> aside;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
        if (entry.path().extension() == ".unreadable") {
            aside.push_back(readWholeFile(entry.path()).value_or(""));
        }
    }
    EXPECT_EQ(aside, std::vector<std::string>{"not a property list"});
    EXPECT_EQ(store.find(kToken), "secret");
}

TEST_F(FileSecretStoreTest, UnwritableFolderReportsAWriteFailure) {
    ASSERT_TRUE(writeFileAtomically(folder_ / "plain-file", "x"));
    FileSecretStore store(folder_ / "plain-file" / "secrets.plist");
    test::LogCapture logs;
    EXPECT_EQ(store.add(kToken, "secret"), kSecretWriteFailed);
    EXPECT_EQ(store.find(kToken), std::nullopt);
}

}  // namespace
}  // namespace vm
