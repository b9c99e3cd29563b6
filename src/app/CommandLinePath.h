// A project path given on the command line, made to name the same file from any folder.
#pragma once

#include <string>

// The path put behind the current folder unless it is absolute already. Its bytes stay as they
// are and symbolic links stay unresolved; only "." parts and doubled separators are dropped from
// the relative part, never "..", which would mean something else behind a link.
std::string MakeAbsolutePath(const std::string& path, const std::string& currentFolder);

// The current folder as the user's shell names it: $PWD when that is this very folder, so that a
// folder reached through a link keeps its name; otherwise the system's name for it. Empty when
// neither is known.
std::string GetCurrentFolder();
