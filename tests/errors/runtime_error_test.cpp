#include "base/runtime_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace pagemeld {
namespace {

template <typename F>
RuntimeError convert(F&& thrower) {
    try {
        thrower();
    } catch (...) {
        return toRuntimeError(std::current_exception());
    }
    ADD_FAILURE() << "nothing was thrown";
    return RuntimeError(0, "");
}

TEST(RuntimeErrorTest, ErrnoMapsToTheFileCodes) {
    EXPECT_EQ(errorCodeFromErrno(ENOENT), 53);
    EXPECT_EQ(errorCodeFromErrno(ENOTDIR), 76);
    EXPECT_EQ(errorCodeFromErrno(EACCES), 70);
    EXPECT_EQ(errorCodeFromErrno(EPERM), 70);
    EXPECT_EQ(errorCodeFromErrno(EROFS), 70);
    EXPECT_EQ(errorCodeFromErrno(ENOSPC), 61);
    EXPECT_EQ(errorCodeFromErrno(ENOMEM), 7);
    EXPECT_EQ(errorCodeFromErrno(EMFILE), 67);
    EXPECT_EQ(errorCodeFromErrno(ENFILE), 67);
    EXPECT_EQ(errorCodeFromErrno(EISDIR), 75);
    EXPECT_EQ(errorCodeFromErrno(EIO), 57);
    EXPECT_EQ(errorCodeFromErrno(EINVAL), 75);
}

TEST(RuntimeErrorTest, StandardExceptionsGetTheirCodes) {
    RuntimeError own = convert([] { throw RuntimeError(321, "Invalid file format", 17); });
    EXPECT_EQ(own.code(), 321);
    EXPECT_EQ(own.line(), 17);
    EXPECT_STREQ(own.what(), "Invalid file format");

    RuntimeError memory = convert([] { throw std::bad_alloc(); });
    EXPECT_EQ(memory.code(), errcode::kOutOfMemory);
    EXPECT_STREQ(memory.what(), "Out of memory");

    testing::TempDir dir;
    EXPECT_EQ(convert([&] { (void)std::filesystem::file_size(dir.path() / "missing.pdf"); }).code(),
              53);
    { std::ofstream(dir.file("plain.txt")) << "x"; }
    EXPECT_EQ(
        convert([&] { (void)std::filesystem::file_size(dir.path() / "plain.txt" / "x"); }).code(),
        76);

    EXPECT_EQ(convert([] { std::vector<int>().at(3); }).code(), errcode::kIndexOutOfRange);
    EXPECT_EQ(convert([] { throw std::overflow_error("big"); }).code(), errcode::kOverflow);
    EXPECT_EQ(convert([] { throw std::underflow_error("small"); }).code(), errcode::kOverflow);
    EXPECT_EQ(convert([] { (void)std::stoi("x"); }).code(), errcode::kInvalidArgument);

    RuntimeError logic = convert([] { throw std::logic_error("broken invariant"); });
    EXPECT_EQ(logic.code(), errcode::kUnexpected);
    EXPECT_STREQ(logic.what(), "broken invariant");
    EXPECT_EQ(convert([] { throw 42; }).code(), errcode::kUnexpected);

    EXPECT_THROW(convert([] { throw ExitRequested{}; }), ExitRequested);
}

}  // namespace
}  // namespace pagemeld
