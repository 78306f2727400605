#pragma once

#include <cstdint>
#include <string>

namespace zorvan {

// Who is at the other end of a local connection between two copies of the program.

// This process's user as text fit for a name: the SID on Windows ("S-1-5-21-…"),
// the numeric user id elsewhere. Empty when it cannot be read.
std::string CurrentUserId();

// Whether the process at the other end of a connected local socket (POSIX: its
// descriptor; the kernel's record of who connected or listened) or named pipe
// (Windows: its handle; the owner of the process at the other end) runs as this
// process's user. peerIsServer tells which end this one is; Windows asks for the
// other end's process id differently. False whenever it cannot be told.
bool PeerIsCurrentUser(std::intptr_t handle, bool peerIsServer);

#ifdef _WIN32
// Creates the first instance of a named pipe ("\\.\pipe\…"), with
// FILE_FLAG_FIRST_PIPE_INSTANCE: it fails when any process, of any user, already
// has a pipe of that name. Only this user may open or add instances; remote
// clients are refused. The instance is made like those QLocalServer adds
// (duplex, byte mode, any number of instances), so that the server can take the
// name over and this one be closed. Returns the handle, or -1.
std::intptr_t CreateFirstPipeInstance(const std::string& utf8Name);
void ClosePipeInstance(std::intptr_t handle);
#endif

}  // namespace zorvan
