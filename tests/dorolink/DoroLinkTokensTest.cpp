// The DoroLink tokens in the secret store, or in memory only when there is none or it refuses;
// never in the preferences.
#include "dorolink/DoroLinkTokens.h"
#include "platform/core/Defaults.h"
#include "platform/core/FileSecretStore.h"
#include "util/Keychain.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vm {
namespace {

class DoroLinkTokensTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        Defaults::standard().remove(kIdTokenItem);
        Defaults::standard().remove(kRefreshTokenItem);
        Defaults::standard().flush();
        std::filesystem::remove_all(folder_);
    }
    DoroLinkTokens::UserNotice notice() {
        return [this](const std::string& title, const std::string&) { notices_.push_back(title); };
    }
    // A store that refuses every write: its file's folder is a plain file.
    std::shared_ptr<SecretStore> refusingStore() {
        std::ofstream(folder_ / "blocker") << "x";
        return std::make_shared<FileSecretStore>(folder_ / "blocker" / "secrets.plist");
    }

    std::filesystem::path folder_;
    std::vector<std::string> notices_;
};

TEST_F(DoroLinkTokensTest, StoreKeepsTokensUnderTheirItems) {
    auto store = std::make_shared<FileSecretStore>(folder_ / "secrets.plist");
    DoroLinkTokens tokens(store, notice());
    tokens.save(kRefreshTokenItem, "R1");
    tokens.save(kRefreshTokenItem, "R2");
    EXPECT_EQ(tokens.load(kRefreshTokenItem), "R2");
    EXPECT_EQ(store->find(newSearchDictionary(kRefreshTokenItem)), std::optional<Bytes>("R2"));
    EXPECT_EQ(DoroLinkTokens(store, notice()).load(kRefreshTokenItem), "R2");
    EXPECT_EQ(tokens.load(kIdTokenItem), "");
    EXPECT_TRUE(notices_.empty());
}

TEST_F(DoroLinkTokensTest, WithoutAStoreTokensStayInMemoryAndTheUserIsToldOnce) {
    for (const auto& store : {std::shared_ptr<SecretStore>{}, refusingStore()}) {
        notices_.clear();
        DoroLinkTokens tokens(store, notice());
        tokens.save(kIdTokenItem, "{\"email\":\"a@b\"}");
        tokens.save(kRefreshTokenItem, "R1");
        EXPECT_EQ(tokens.load(kRefreshTokenItem), "R1");
        EXPECT_EQ(tokens.load(kIdTokenItem), "{\"email\":\"a@b\"}");
        EXPECT_FALSE(Defaults::standard().object(kRefreshTokenItem));
        EXPECT_FALSE(Defaults::standard().object(kIdTokenItem));
        EXPECT_EQ(notices_, std::vector<std::string>{"DoroLink sign-in not saved"});
        // Nothing outlives the run.
        EXPECT_EQ(DoroLinkTokens(store, notice()).load(kRefreshTokenItem), "");
    }
}

TEST_F(DoroLinkTokensTest, PlainTextCopiesInThePreferencesAreDeleted) {
    Defaults::standard().set(kRefreshTokenItem, std::string("old-refresh"));
    Defaults::standard().set(kIdTokenItem, std::string("old-claims"));
    DoroLinkTokens tokens(std::make_shared<FileSecretStore>(folder_ / "secrets.plist"), notice());
    EXPECT_FALSE(Defaults::standard().object(kRefreshTokenItem));
    EXPECT_FALSE(Defaults::standard().object(kIdTokenItem));
    EXPECT_EQ(tokens.load(kRefreshTokenItem), "");
}

}  // namespace
}  // namespace vm
