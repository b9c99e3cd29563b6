// The zqtool commands; each answers the process exit status and prints its own messages.
#pragma once

#include "cli/CliArguments.h"

int RunCommand(const CliArguments& arguments);

int RunTypes(const CliArguments& arguments);
int RunNew(const CliArguments& arguments);
int RunCheck(const CliArguments& arguments);
int RunConvert(const CliArguments& arguments);
int RunImage(const CliArguments& arguments);
int RunCodes(const CliArguments& arguments);

int RunList(const CliArguments& arguments);
int RunProgram(const CliArguments& arguments);
int RunDownload(const CliArguments& arguments);
int RunFirmware(const CliArguments& arguments);
int RunVersion(const CliArguments& arguments);
