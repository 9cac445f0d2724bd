// Reading common image files (PNG, BMP, JPEG, GIF, ...) into a DIB for tools and tests: 24-bit BMP
// and JPEG (libjpeg-turbo) directly, the rest through stb_image; the program itself opens them
// with the platform's picture loader.
#pragma once
#include <cstdio>
#include <string>

namespace plenvue {

class clsDIBSection;

// Reads the first image of a file into a fresh 24-bit DIB. False with a one-line reason.
bool ReadImageWithStb(const std::string& path, clsDIBSection& dib, std::string& error);
// The same from an open file, read from its start; `path` only names it in the reason.
bool ReadImageFromFile(std::FILE* f, const std::string& path, clsDIBSection& dib, std::string& error);

}  // namespace plenvue
