// The command-line capture without the main window: the same engine, region selection and window
// picking as Plenvue.exe's captures, the auto-save rules for the name, and the result on standard
// output with every message on standard error.
#pragma once
#include <cstdio>
#include <string>

#include "shell/CaptureCommand.h"

namespace plenvue {

// Program folder, temporary folder, the user's language package and its message table, and the
// settings, as Plenvue.exe's start-up prepares them (no chooser: English when nothing is stored).
void PrepareCommandLineProgram();

// One capture as asked. Writes the saved file's full path (or the JSON record, or the picture's
// bytes) to `out`, each message as one line to `err`, and writes no file unless it succeeds.
CaptureOutcome RunCommandLineCapture(const CaptureRequest& request, std::FILE* out, std::FILE* err);

// A usage error's text in the user's language.
std::string CaptureUsageMessage(const CaptureUsageError& error);

}  // namespace plenvue
