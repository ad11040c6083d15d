#pragma once

#include <string>

namespace belrix_common_qt {

enum logChannelType_t { logChannelRaw = 0, logChannelExternal = 1 };

// How one log channel of a device writes its file.
struct logCfg_t {
    bool active = false;
    int mode = 0;                 // 0 new file per session, 1 append
    std::string path;
    unsigned int age = 7 * 86400; // seconds a log file is kept
    std::string pattern;          // file name, see logFile_t; empty for the channel's default

    bool operator==(logCfg_t const& o) const
    {
        return active == o.active && mode == o.mode && path == o.path && age == o.age && pattern == o.pattern;
    }
    bool operator!=(logCfg_t const& o) const { return !(*this == o); }
};

} // namespace belrix_common_qt
