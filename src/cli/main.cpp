#include <cstdio>
#include <cstring>

namespace {

void PrintUsage(FILE* out)
{
    std::fprintf(out,
                 "usage: zqtool COMMAND [ARGS]\n"
                 "ZQ programmer command-line companion (version %s).\n"
                 "Commands (types, new, check, convert, image, program, download, firmware,\n"
                 "version) arrive as the keyboard model and the device layer are completed.\n",
                 ZQ_VERSION_TEXT);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zqtool %s\n", ZQ_VERSION_TEXT);
        return 0;
    }
    const bool asked = argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
    PrintUsage(asked ? stdout : stderr);
    return asked ? 0 : 2;
}
