#pragma once

#include <string>

namespace tonemill::cli {

// Temporaries that must not outlive the process, whatever ends it: SIGINT,
// SIGTERM, SIGHUP, SIGQUIT or SIGXFSZ remove them and then end the process with that
// signal's status; an exit() from inside a library removes them and says on
// standard error which file was not written. Only a handful are open at a time.
// Returns false when there is no room left or the path is too long to keep,
// in which case the caller's own clean-up is the only one.
bool watchTemporary(const std::string& temporary, const std::string& target);
void unwatchTemporary(const std::string& temporary);

}  // namespace tonemill::cli
