// The feed folder opened as JV-Link for the commands that read it
// (acquire, fetch DATE).
#pragma once

namespace sorvix {
class FeedJvLink;
}

namespace sorvix::cli {

// Sends `link`'s warnings to standard error and initialises it; false after
// saying why on standard error (no feed folder to read, or JVInit's error).
bool OpenFeedLink(FeedJvLink& link);

}  // namespace sorvix::cli
