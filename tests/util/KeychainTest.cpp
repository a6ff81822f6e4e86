#include "util/Keychain.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Defaults.h"
#include "platform/core/FileSecretStore.h"
#include "platform/core/PlistValue.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vm {
namespace {

namespace fs = std::filesystem;

const std::string kIdToken = "smart_auth_id_token";
const std::string kRefreshToken = "smart_auth_refresh_token";

class KeychainTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(std::getenv("HOME")) / "keychain";
        fs::remove_all(folder_);
        file_ = std::make_shared<FileSecretStore>(folder_ / "secrets.plist");
        SecretStore::setStandard(file_);
        Defaults::standard().remove(kIdToken);
        Defaults::standard().remove(kRefreshToken);
    }
    void TearDown() override {
        SecretStore::setStandard(nullptr);
        fs::remove_all(folder_);
    }
    std::size_t itemsInFile() const {
        auto root = plist::parse(readWholeFile(file_->path()).value_or(""));
        return root && root->get<PlistArray>() ? root->get<PlistArray>()->size() : 0;
    }
    // A store whose folder cannot be made: every change fails.
    void breakTheStore() {
        ASSERT_TRUE(writeFileAtomically(folder_ / "blocker", "x"));
        SecretStore::setStandard(
            std::make_shared<FileSecretStore>(folder_ / "blocker" / "secrets.plist"));
    }

    fs::path folder_;
    std::shared_ptr<FileSecretStore> file_;
};

TEST_F(KeychainTest, ItemIsNamedAfterTheKey) {
    EXPECT_EQ(
        newSearchDictionary(kIdToken),
        (SecretQuery{"com.velmorasoftware.velmorasdr.smart_auth_id_token", kIdToken, kIdToken}));
}

TEST_F(KeychainTest, TokenRoundTripsThroughTheSecretStore) {
    EXPECT_EQ(loadStringFromKeyChainWithKey(kIdToken), "");  // never saved: empty, not missing
    EXPECT_EQ(searchKeychainCopyMatching(kIdToken), std::nullopt);

    savePrefToKeyChainWithKey(kIdToken, "eyJhbGciOi.first");
    savePrefToKeyChainWithKey(kRefreshToken, "refresh");
    savePrefToKeyChainWithKey(kIdToken, "eyJhbGciOi.second");  // an update of the one item
    EXPECT_EQ(itemsInFile(), 2u);
    EXPECT_EQ(loadStringFromKeyChainWithKey(kIdToken), "eyJhbGciOi.second");
    EXPECT_EQ(loadStringFromKeyChainWithKey(kRefreshToken), "refresh");
    EXPECT_EQ(file_->find(newSearchDictionary(kIdToken)), "eyJhbGciOi.second");
    EXPECT_FALSE(Defaults::standard().object(kIdToken));  // no copy outside the store
}

TEST_F(KeychainTest, RefusedSaveFallsBackToDefaultsUntilASaveSucceeds) {
    breakTheStore();
    test::LogCapture logs;
    savePrefToKeyChainWithKey(kIdToken, "kept");
    EXPECT_TRUE(logs.contains("createKeychainValue:error:status:[-36]"));
    EXPECT_EQ(Defaults::standard().stringForKey(kIdToken), "kept");
    EXPECT_EQ(loadStringFromKeyChainWithKey(kIdToken), "kept");

    SecretStore::setStandard(file_);
    EXPECT_EQ(loadStringFromKeyChainWithKey(kIdToken), "kept");  // the store has no item yet
    savePrefToKeyChainWithKey(kIdToken, "stored");
    EXPECT_FALSE(Defaults::standard().object(kIdToken));
    EXPECT_EQ(loadStringFromKeyChainWithKey(kIdToken), "stored");
}

// A store that holds an item but refuses to change it.
class ReadOnlyStore : public SecretStore {
public:
    std::optional<Bytes> find(const SecretQuery&) override { return Bytes("old"); }
    int add(const SecretQuery&, const Bytes&) override { return kSecretDuplicateItem; }
    int update(const SecretQuery&, const Bytes&) override { return kSecretServiceFailed; }
};

TEST_F(KeychainTest, RefusedUpdateIsLoggedAndItsTextWinsOverTheStaleItem) {
    SecretStore::setStandard(std::make_shared<ReadOnlyStore>());
    test::LogCapture logs;
    savePrefToKeyChainWithKey(kIdToken, "new");
    EXPECT_EQ(logs.lines(), std::vector<std::string>{"updateKeychainValue:error:status:[-25291]"});
    EXPECT_EQ(Defaults::standard().stringForKey(kIdToken), "new");
    EXPECT_EQ(loadStringFromKeyChainWithKey(kIdToken), "new");
}

}  // namespace
}  // namespace vm
