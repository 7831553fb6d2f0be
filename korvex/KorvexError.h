// The conversion library's one error kind. Its message never leaves the library through
// korvexToCSV (which answers -1); the korvex tool prints it.
#pragma once
#include <stdexcept>
#include <string>

namespace korvex {

class KorvexError : public std::runtime_error {
public:
    explicit KorvexError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace korvex
