#include "base/registry.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/fake_services.h"

namespace pagemeld {
namespace {

// A settings store that fails on every call, as a damaged registry or file may.
struct BrokenSettings : Settings {
    std::optional<std::string> read(const std::string&, const std::string&) override {
        throw std::runtime_error("unreadable");
    }
    bool write(const std::string&, const std::string&, const std::string&) override {
        throw std::runtime_error("unwritable");
    }
};

TEST(RegistryTest, FailuresAreToldByTheResultAlone) {
    testing::FakeSettings settings;
    std::string value = "stale";
    EXPECT_FALSE(RegReadString(settings, kHkeyCurrentUser, kSettingsKeyPath, "x", value));
    EXPECT_EQ(value, "");
    // An empty value is kept as one blank: reading it back finds a value.
    ASSERT_TRUE(RegWriteString(settings, kHkeyCurrentUser, kSettingsKeyPath, "x", ""));
    EXPECT_TRUE(RegReadString(settings, kHkeyCurrentUser, kSettingsKeyPath, "x", value));
    EXPECT_EQ(value, " ");

    BrokenSettings broken;
    value = "stale";
    EXPECT_FALSE(RegReadString(broken, kHkeyCurrentUser, kSettingsKeyPath, "x", value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(RegWriteString(broken, kHkeyCurrentUser, kSettingsKeyPath, "x", "1"));
}

}  // namespace
}  // namespace pagemeld
