#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace latchsweep {

// An error that no handler of the program catches: the program reports its number and
// description and ends.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    [[nodiscard]] int number() const { return number_; }

private:
    int number_;
};

// The animation's frame counter: 16-bit signed, stepping 1, 2, ..., N, then back to 0.
class Animation {
public:
    // Steps Counter and returns the number (from 1) of the frame to show now. Throws
    // RuntimeError 6 (overflow) at the 16-bit bound and 35600 when the frame does not exist.
    int step(std::size_t frameCount);

    std::int16_t Counter = 0;
};

} // namespace latchsweep
