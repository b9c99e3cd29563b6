// The simulator's command line.
#pragma once

#include "sim/SimConfig.h"

#include <string>
#include <vector>

struct SimOptions
{
    std::vector<SimInterfaceConfig> interfaces;
    std::string readyFile;
    bool printReady = false;
    bool help = false;
    bool version = false;
};

// False with a message for a command line that cannot be served.
bool ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error);

const char* SimHelpText();
