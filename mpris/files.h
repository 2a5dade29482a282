// Between the player's Windows names and the desktop's URLs: a file the player plays, named by a
// drive of its Wine prefix, as the file:// URL MPRIS gives it, and a URL that OpenUri is handed as
// the Windows path or URL that "/OPEN" takes.
#pragma once

#include <string>

namespace mpris {

// "X:\dir\file" through the prefix's dosdevices/x: link, the path made canonical and matched
// without regard to case where the exact one is missing, as a file:// URL; a URL as it is; empty
// for a name that can't be mapped.
std::string FileUrl(const std::string& file, const std::string& prefix);

// An absolute Linux path as a percent-encoded file:// URL; empty when it can't be one.
std::string PathUrl(const std::string& path);

// The Windows path of an existing file that a file:// URI names, through the drive that maps it
// most closely ("/x" is "Z:\x" unless another drive maps closer), or an http or https URL as it
// is. False for anything else, a missing file, or text holding a control character or a double
// quote, which must never reach a line to Tunedesk.
bool OpenTarget(const std::string& uri, const std::string& prefix, std::string& target);

}  // namespace mpris
