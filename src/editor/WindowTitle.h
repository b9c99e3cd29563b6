// The editor window's title: file name, shortened folder and program name.
#pragma once

#include <string>

// A folder longer than 32 characters loses a middle part to "...", cut at separators where
// that keeps enough of the end.
std::string ShortenFolder(const std::string& folder);
// The title for a project path; an empty path is a project without a file.
std::string MakeWindowTitle(const std::string& path);
