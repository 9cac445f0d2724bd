// LoadPCX: a PCX file as a picture that owns its bitmap and, for 256-colour files, its palette.
#pragma once
#include <string>

struct IPictureDisp;

namespace plenvue {

// Returns a new picture (the caller releases it), or null when the file was refused (after the
// reader's message, where it has one). A file that is too short or whose data are damaged raises
// an error (ErrorObject) for the caller to report.
IPictureDisp* LoadPCX(const std::string& sFileName);

}  // namespace plenvue
