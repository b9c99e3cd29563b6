// Backups of what a USB keyboard holds, taken before a project is written over it: the reading
// into a new project, and the folder where the newest backups of each type are kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

class Keyboard;
class ProgressSink;

// Backups kept in a folder for each keyboard type; saving one more removes the oldest.
constexpr size_t kKeptBackupsPerType = 20;

// Reads the programmed sequences of the keyboard the project would be written to into a new
// project of the project's type, looked for by the same vendor id. Answers the device result code
// of the reading (2 for a project whose type cannot be read back). backup holds the new project
// whenever one was made, also after a failed read, so that its error text can be shown.
int ReadKeyboardBackup(Keyboard& project, ProgressSink* progress, std::unique_ptr<Keyboard>& backup);

// "<type>_<YYYY-MM-DD>_<hh-mm-ss>.zqp", the type's built-in name in letters, digits and dashes;
// a sequence number from 2 on is appended as "_02" for a second backup in the same second.
std::string MakeBackupFileName(uint8_t typeId, const std::tm& localTime, unsigned sequence = 1);

// "<port>_<YYYY-MM-DD>_<hh-mm-ss>.zqp" for the backup of the keyboard at a port (a device node or
// simulator entry), its letters and digits kept and every other run one dash.
std::string MakePortBackupFileName(const std::string& port, const std::tm& localTime, unsigned sequence = 1);

// Creates the folder and the missing folders above it, readable by the user alone. True when it
// exists afterwards.
bool CreateBackupFolder(const std::string& folder);

// Saves the backup into the folder (created as above) under a name of its type and the local time
// at now, then removes the backups of that type written longest ago beyond kKeptBackupsPerType,
// never the one just saved. Files of other names are never touched. False when the folder cannot
// be made or the file not saved.
bool SaveBackupInFolder(Keyboard& backup, const std::string& folder, std::time_t now, std::string* path);

// Saves the backup of the keyboard at port into the folder (created as above) under a name of the
// port and the local time at now. Nothing is removed: each keyboard of a row keeps its own.
bool SavePortBackup(Keyboard& backup, const std::string& folder, const std::string& port, std::time_t now,
                    std::string* path);

// Removes the backups of the type in the folder written longest ago until keep are left, spared
// (a path or name in the folder, when not empty) always among them; answers how many went.
size_t PruneBackups(const std::string& folder, uint8_t typeId, size_t keep, const std::string& spared = {});
