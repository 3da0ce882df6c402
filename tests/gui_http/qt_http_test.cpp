#include "gui/qt_http.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QNetworkProxyFactory>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/runtime_error.h"
#include "errors/error_handler.h"
#include "lang/catalogue.h"
#include "local_http_server.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "update/update_check.h"

namespace pagemeld {
namespace {

using namespace std::chrono_literals;
using testing::httpResponse;
using testing::LocalHttpServer;
using testing::TempDir;

std::string readFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

class QtHttpTest : public ::testing::Test {
protected:
    TempDir dir;
    QtHttp http;
    std::string target = dir.file("answer.txt");
};

TEST_F(QtHttpTest, ASuccessfulAnswerReplacesTheFileWithItsWholeBody) {
    std::string big(300 * 1024, 'x');
    for (std::size_t i = 0; i < big.size(); i += 7) big[i] = static_cast<char>(i % 256);
    const std::string small("Ombrix Pagemeld 2.2\r\n\0tail", 26);
    LocalHttpServer server({{"/versionupdates.txt", httpResponse("200 OK", small)},
                            {"/big", httpResponse("200 OK", big)},
                            {"/empty", httpResponse("204 No Content", "")}});

    writeFile(target, "an older and much longer answer that must not survive");
    EXPECT_EQ(http.fetchToFile(server.url("/versionupdates.txt"), target, 5s), HttpResult::Ok);
    EXPECT_EQ(readFile(target), small);

    EXPECT_EQ(http.fetchToFile(server.url("/big"), target, 5s), HttpResult::Ok);
    EXPECT_EQ(readFile(target), big);

    EXPECT_EQ(http.fetchToFile(server.url("/empty"), target, 5s), HttpResult::Ok);
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(readFile(target), "");
}

TEST_F(QtHttpTest, RedirectsAreFollowedAndTheirOwnBodiesDropped) {
    LocalHttpServer server(
        {{"/old", httpResponse("302 Found", "moved away", "Location: /versionupdates.txt\r\n")},
         {"/versionupdates.txt", httpResponse("200 OK", "Ombrix Pagemeld 2.2")}});
    EXPECT_EQ(http.fetchToFile(server.url("/old"), target, 5s), HttpResult::Ok);
    EXPECT_EQ(readFile(target), "Ombrix Pagemeld 2.2");
    EXPECT_EQ(server.requestedPaths(), (std::vector<std::string>{"/old", "/versionupdates.txt"}));
}

TEST_F(QtHttpTest, AnErrorStatusCannotConnectAndLeavesTheFileAlone) {
    LocalHttpServer server({{"/gone", httpResponse("404 Not Found", "Ombrix Pagemeld 9.9")},
                            {"/broken", httpResponse("500 Internal Server Error", "oops")}});
    EXPECT_EQ(http.fetchToFile(server.url("/gone"), target, 5s), HttpResult::CannotConnect);
    EXPECT_FALSE(std::filesystem::exists(target));

    writeFile(target, "kept");
    EXPECT_EQ(http.fetchToFile(server.url("/broken"), target, 5s), HttpResult::CannotConnect);
    EXPECT_EQ(readFile(target), "kept");
    // No side file is left beside it either.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(QtHttpTest, AServerThatNeverAnswersIsGivenUpAtTheTimeOut) {
    auto server = LocalHttpServer::silent();
    EXPECT_EQ(http.fetchToFile(server.url("/versionupdates.txt"), target, 1s),
              HttpResult::CannotConnect);
    // The client closed the connection itself, long before the server would have.
    EXPECT_TRUE(server.waitForHangUp(30s));
    EXPECT_EQ(server.requestedPaths().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(QtHttpTest, NoServerOrNoWebAddressCannotConnect) {
    const std::string closed =
        "http://127.0.0.1:" + std::to_string(LocalHttpServer::closedPort()) + "/v.txt";
    EXPECT_EQ(http.fetchToFile(closed, target, 5s), HttpResult::CannotConnect);

    // The client must not turn into a local file copier.
    const std::string local = dir.file("local.txt");
    writeFile(local, "Ombrix Pagemeld 2.2");
    EXPECT_EQ(http.fetchToFile("file://" + local, target, 5s), HttpResult::CannotConnect);
    EXPECT_EQ(http.fetchToFile("not an address at all", target, 5s), HttpResult::CannotConnect);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(QtHttpTest, AFileThatCannotBeWrittenIsAFileError) {
    LocalHttpServer server({{"/v", httpResponse("200 OK", "Ombrix Pagemeld 2.2")}});
    try {
        http.fetchToFile(server.url("/v"), dir.file("missing") + "/answer.txt", 5s);
        FAIL() << "no error for a folder that does not exist";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.code(), errcode::kFileNotFound);
    }
}

TEST(QtHttpUpdateCheck, TheOfferComesFromTheServer) {
    TempDir dir;
    testing::FakeUi ui;
    testing::FakeSettings settings;
    testing::FakeSystem system(dir.path().string());
    system.temp = dir.folder();
    ErrorReporter errors(ui, system);
    Catalogue texts;
    QtHttp http;
    UpdateChecker checker(ui, settings, http, system, errors, texts);

    LocalHttpServer server(
        {{"/pagemeld/versionupdates.txt", httpResponse("200 OK", "Ombrix Pagemeld 2.2\r\n")}});
    checker.setVersionFileAddressForTesting(server.url("/pagemeld/versionupdates.txt"));
    ui.boxAnswers = {msgbox::kAnswerNo};
    checker.updatetimer_tick();
    EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{
                                 "There is a new version available: v 2.2 . Would you like to "
                                 "download it?\r\nPress Cancel to deactivate update check."}));

    checker.setVersionFileAddressForTesting(server.url("/elsewhere/versionupdates.txt"));
    checker.updatetimer_tick();
    EXPECT_TRUE(checker.update_failed);
    EXPECT_EQ(ui.boxTexts().back(), "Unable to connect to the Internet and search for updates!");
}

}  // namespace
}  // namespace pagemeld

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The tests talk to 127.0.0.1 only; a proxy configured on the machine must not
    // stand in between.
    QNetworkProxyFactory::setUseSystemConfiguration(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
