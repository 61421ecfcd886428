// For the file layer's own files only: what the system's error codes mean to the player.
#pragma once

#include <span>

#include "error.h"

namespace patch {

// One row of a platform's table of its error codes (GetLastError() on Windows, errno
// elsewhere) and the error numbers the player sees for them.
struct SystemCodeNumber {
  long code;
  ErrorNumber number;
};
std::span<const SystemCodeNumber> SystemCodeNumbers();

// The error number for one of the system's error codes; 75 for one the table lacks.
ErrorNumber NumberForSystemCode(int code);

// What a system error code says beyond its number: a file held by another program, a disk that
// cannot be written.
Refusal RefusalForSystemCode(int code);

}  // namespace patch
