// Reading common image files (PNG, BMP, JPEG, GIF, ...) into a DIB through stb_image, for tools
// and tests; the program itself opens them with the platform's picture loader.
#pragma once
#include <string>

namespace plenvue {

class clsDIBSection;

// Reads the first image of a file into a fresh 24-bit DIB. False with a one-line reason.
bool ReadImageWithStb(const std::string& path, clsDIBSection& dib, std::string& error);

}  // namespace plenvue
