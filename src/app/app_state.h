// The window's shared state: set at start-up by the window's load handler and read
// and changed by the lists. One object, owned by the window model, so that every test
// starts from a fresh one. What a run needs travels in its request.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pagemeld {

struct AppState {
    // Window caption and the About tab's title line.
    std::string app_title;
    // False while the window loads; the language list reacts to clicks only after.
    bool form_loaded = false;
    // The text after the program's name on the command line, as process_parametrii reads it.
    std::string command_line;

    // Merge list: number of files, sort direction (1 or -1), largest number accepted.
    std::int32_t mgrid_count = 0;
    std::int32_t mgrid_sort_dir = 1;
    std::int32_t mgrid_max = 0;
    // Mix list: number of files (kept across a reload of the window) and capacity.
    std::int32_t xgrid_count = 0;
    std::int32_t xgrid_max = 0;
};

}  // namespace pagemeld
