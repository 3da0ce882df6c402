#include "batch/program_arguments.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

#include "base/text_encoding.h"

namespace pagemeld {

std::vector<std::string> programArguments(int argc, char** argv) {
    std::vector<std::string> args;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) {
            args.push_back(utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
        }
        LocalFree(wide);
    }
#else
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i]);
#endif
    return args;
}

}  // namespace pagemeld
