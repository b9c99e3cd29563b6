// The zqtool commands; each answers the process exit status and prints its own messages.
#pragma once

#include "cli/CliArguments.h"

#include <string>

class Keyboard;
class ProgressBar;

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
int RunDiff(const CliArguments& arguments);

// 'program' of several keyboards with the project opened already (FleetCommand.cpp).
int RunProgramSeveral(Keyboard& project, const CliArguments& arguments);

// Shared by the device commands.
uint16_t GetVendorId(const CliArguments& arguments);
// Every project a device command works on looks for the tool's vendor id, as the editor's do
// for the one its settings give.
void PrepareForDevice(Keyboard& keyboard, const CliArguments& arguments);
// Prints the message of a failed result and answers the exit status; prefix goes before the
// message: what the failed step was, when it was not the command itself.
int ReportResult(int result, const Keyboard& keyboard, const CliArguments& arguments,
                 const std::string& prefix = "");
// The bar of a device operation, with the line a busy keyboard gets on standard error.
void PrepareBar(ProgressBar& bar, const Keyboard& keyboard);
