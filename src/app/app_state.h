// The program's shared state: set at start-up by the window's load handler and read
// and changed by the lists, the runs and the batch mode. One object, owned by the
// window model, so that every test starts from a fresh one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pagemeld {

// The most pages a quiet split writes of one file: split_max_page at start-up.
inline constexpr std::int32_t kSplitMaxPageAtStart = 999;

struct AppState {
    // Window caption and the About tab's title line.
    std::string app_title;
    // False while the window loads; the language list reacts to clicks only after.
    bool form_loaded = false;
    // The text after the program's name on the command line, as the batch mode reads it.
    std::string command_line;

    // Merge list: number of files, sort direction (1 or -1), largest number accepted.
    std::int32_t mgrid_count = 0;
    std::int32_t mgrid_sort_dir = 1;
    std::int32_t mgrid_max = 0;
    // Mix list: number of files (kept across a reload of the window) and capacity.
    std::int32_t xgrid_count = 0;
    std::int32_t xgrid_max = 0;
    // Highest page numbers the split and mix runs take.
    std::int32_t split_max_page = 0;
    std::int32_t mix_max_page = 0;

    // The number of the output file a split, mix or quiet split is writing. A
    // document can have more pages than a 16-bit counter holds, so it is 32-bit.
    std::int32_t output_file_counter = 0;
    // True when a split or mix run left out pages beyond its page limit.
    bool pages_ignored = false;

    // Batch requests: whether a log was asked for (1) or not (0).
    std::int32_t batch_log = 0;
    // What a quiet request tells the shell when the program ends: 0 all done, 1 an
    // input was skipped or an output not written, 2 the command line was refused.
    int exit_status = 0;
};

}  // namespace pagemeld
