// What the system hands a starting program, made alike on every platform: the arguments as
// UTF-8, the program's own file, and standard streams that pass bytes unchanged.
#pragma once

#include <string>
#include <vector>

// The arguments after the program's name.
std::vector<std::string> GetProgramArguments(int argc, char** argv);

// The real executable, so a language file beside it applies whatever path started it; argv0
// when the system cannot tell.
std::string GetProgramPath(const char* argv0);

// On Windows: output in binary mode (LF line ends, as on every other system) and a console
// that shows UTF-8. Nothing to do elsewhere.
void PrepareStandardStreams();
