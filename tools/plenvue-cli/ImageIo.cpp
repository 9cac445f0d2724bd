// Image input and output of plenvue-cli: PCX through the program's reader, other formats through
// stb_image, BMP output through the DIB's own writer.
#include <fstream>

#include "image/ImageFileReader.h"
#include "image/modPcxReader.h"
#include "base/ErrorObject.h"
#include "base/FileNames.h"
#include "tools/plenvue-cli/Cli.h"

namespace plenvue::cli {

namespace {
bool IsPcx(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext == ".pcx";
}
}  // namespace

bool LoadImageFile(const std::string& path, clsDIBSection& dib, std::string& error) {
    if (!std::ifstream(FsPath(path), std::ios::binary)) {
        error = "cannot open " + path;
        return false;
    }
    if (!IsPcx(path)) {
        if (ReadImageWithStb(path, dib, error)) return true;
        if (error.find(path) == std::string::npos) error = path + ": " + error;  // every reason names the file
        return false;
    }

    PcxResult r = ReadPcxFile(path);
    switch (r.status) {
        case PcxStatus::Ok:
            break;
        case PcxStatus::NotEightBits:
            error = path + ": " + kPcxCantLoadMessage;
            return false;
        case PcxStatus::UnsupportedPlanes:
            error = path + ": only 256-colour and three-plane true-colour PCX files are read";
            return false;
        case PcxStatus::NoPalette:
            error = path + ": " + kPcxNoPaletteMessage;
            return false;
        case PcxStatus::Corrupt:
            error = path + ": " + r.reason;
            return false;
    }
    try {
        if (PcxToDib(r.image, dib)) return true;
    } catch (const ErrorObject& e) {
        error = path + ": " + e.Description;
        return false;
    }
    error = path + ": cannot make the picture";
    return false;
}

bool SaveBmpFile(clsDIBSection& dib, const std::string& path, std::string& error) {
    try {
        if (dib.SavePicture(path)) return true;
        error = "cannot write " + path;
    } catch (const ErrorObject& e) {
        error = "cannot write " + path + ": " + e.Description;
    }
    return false;
}

}  // namespace plenvue::cli
