// The C++ declarations widl makes from TaskScheduler.idl. The optional FileName of Save becomes a
// default argument of string-literal type, which the generated header cannot spell any other way.
#pragma once

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wwrite-strings"
#include "TaskScheduler.h"
#pragma GCC diagnostic pop
