#pragma once

#include <windows.h>

#include <string>

namespace zorvan {

// A Win32 error code in Japanese words for the user (see SystemError.h): the usual
// causes by a phrase of their own, others by number, with the system's Japanese
// message when the system has one.
std::string Win32ErrorText(DWORD error);

}  // namespace zorvan
