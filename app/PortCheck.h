#pragma once
// The check of a port the user names with "--port", made before anything
// else starts, so that a wrong path ends the program at once with the reason
// instead of a device search that cannot succeed.
#include <string>

namespace evdo {

// True when path names a terminal device that this process can open for
// reading and writing. Otherwise false, with reason saying why ("no such file
// or directory", "not a terminal device", "permission denied", ...).
bool CheckPortPath(const std::string& path, std::string& reason);

}  // namespace evdo
