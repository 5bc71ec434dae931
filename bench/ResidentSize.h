#pragma once

#include <QtGlobal>
#include <fstream>
#include <string>

// The process's resident size in kB (VmRSS), or -1 where /proc cannot tell.
inline qint64 residentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stoll(line.substr(6));
    }
    return -1;
}
