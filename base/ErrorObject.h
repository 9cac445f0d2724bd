// Error objects raised by the program's classes: a number, a source and a description.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace plenvue {

// Object-error base: classes add their own code to it.
constexpr int32_t kObjectErrorBase = static_cast<int32_t>(0x80040000u);
// Sources are the executable's name followed by a module tag, as ".cImageProcess".
constexpr const char* kExeName = "Plenvue";

class ErrorObject : public std::runtime_error {
public:
    ErrorObject(int32_t number, std::string source, std::string description)
        : std::runtime_error(description), Number(number), Source(std::move(source)),
          Description(std::move(description)) {}
    int32_t Number;
    std::string Source;
    std::string Description;
};

// The language's ordinary run-time errors that the classes let through.
constexpr int32_t kErrOverflow = 6;
constexpr int32_t kErrDivisionByZero = 11;
constexpr int32_t kErrTypeMismatch = 13;
constexpr int32_t kErrInvalidArgument = 5;

// How a command's message box shows a raised error: the number, " - " and the description.
inline std::string ErrorBoxText(const ErrorObject& e) { return std::to_string(e.Number) + " - " + e.Description; }

inline ErrorObject OverflowError() { return ErrorObject(kErrOverflow, kExeName, "Overflow"); }
inline ErrorObject DivisionByZeroError() { return ErrorObject(kErrDivisionByZero, kExeName, "Division by zero"); }

}  // namespace plenvue
