// Start-up and end of the editor: language file, settings, the window, settings written back.
#pragma once

class Application
{
public:
    // Runs the editor inside an existing QApplication, given the arguments it left; the
    // process's exit status.
    static int Run(int argc, char** argv);
    // The language file and the chosen translation, as the window would show them.
    static void InstallTexts();
};
