// The editor window's title: file name, shortened folder and program name.
#pragma once

#include <string>

// A folder longer than 32 characters loses a middle part to "...", cut at separators where
// that keeps enough of the end.
std::string ShortenFolder(const std::string& folder);
// The title for a project path; an empty path is a project without a file. The name is followed by
// the "[*]" placeholder that a window shows as its unsaved-changes marker, and by the read-only
// note when the project is read-only.
std::string MakeWindowTitle(const std::string& path, bool readOnly = false);
