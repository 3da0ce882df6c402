#include "base/registry.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/fake_services.h"

namespace pagemeld {
namespace {

using testing::FakeSettings;

TEST(RegistryTest, ValuesRoundTripAndEmptyIsStoredAsABlank) {
    FakeSettings settings;
    std::string result = "stale";
    EXPECT_FALSE(
        RegReadString(settings, kHkeyCurrentUser, kSettingsKeyPath, kLanguageValue, result));
    EXPECT_EQ(result, "");

    EXPECT_TRUE(
        RegWriteString(settings, kHkeyCurrentUser, kSettingsKeyPath, kLanguageValue, "Deutsch"));
    EXPECT_TRUE(
        RegReadString(settings, kHkeyCurrentUser, kSettingsKeyPath, kLanguageValue, result));
    EXPECT_EQ(result, "Deutsch");
    EXPECT_EQ(settings.values.at("Software\\Ombrix\\OmbrixPagemeld\\Language"), "Deutsch");

    EXPECT_TRUE(
        RegWriteString(settings, kHkeyCurrentUser, kSettingsKeyPath, kUpdateCheckValue, ""));
    EXPECT_TRUE(
        RegReadString(settings, kHkeyCurrentUser, kSettingsKeyPath, kUpdateCheckValue, result));
    EXPECT_EQ(result, " ");
}

TEST(RegistryTest, FailuresAreToldByTheResultOnly) {
    FakeSettings settings;
    settings.failWrites = true;
    EXPECT_FALSE(RegWriteString(settings, kHkeyCurrentUser, kSettingsKeyPath, kLanguageValue, "x"));

    struct BrokenSettings : Settings {
        std::optional<std::string> read(const std::string&, const std::string&) override {
            throw std::runtime_error("store unavailable");
        }
        bool write(const std::string&, const std::string&, const std::string&) override {
            throw std::runtime_error("store unavailable");
        }
    } broken;
    std::string result = "stale";
    EXPECT_FALSE(RegReadString(broken, kHkeyCurrentUser, kSettingsKeyPath, kLanguageValue, result));
    EXPECT_EQ(result, "");
    EXPECT_FALSE(RegWriteString(broken, kHkeyCurrentUser, kSettingsKeyPath, kLanguageValue, "x"));
}

}  // namespace
}  // namespace pagemeld
