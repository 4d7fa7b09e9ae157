#pragma once

#include <stdexcept>
#include <string>

namespace latchsweep {

// An error that no handler of the program catches: the program reports its number and
// description under its title and ends (Application::fail). Any part of the core may raise one.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string& description)
        : std::runtime_error(description),
          number_(number)
    {}
    [[nodiscard]] int number() const { return number_; }

private:
    int number_;
};

} // namespace latchsweep
