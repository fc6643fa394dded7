#pragma once
// A run-time failure as the program passes it on: a number, where it came from and what it was.
// Callers that pass a failure on may prefix the description with their own place, as the delay
// does.
#include <exception>
#include <string>

namespace hkv {

// Refusal to write a design-time-only property while the program runs.
inline constexpr long kErrSetNotPermitted = 382;
// A value of the wrong type (for example a delay that is not a finite number of milliseconds).
inline constexpr long kErrTypeMismatch = 13;

// On std::exception rather than std::runtime_error, whose narrow message string would link the
// runtime's copy-on-write strings for a text nobody reads.
class AppError : public std::exception {
  public:
    AppError(long number, std::wstring source, std::wstring description)
        : number_(number), source_(std::move(source)), description_(std::move(description)) {}

    [[nodiscard]] const char* what() const noexcept override { return "application error"; }

    [[nodiscard]] long number() const noexcept { return number_; }
    [[nodiscard]] const std::wstring& source() const noexcept { return source_; }
    [[nodiscard]] const std::wstring& description() const noexcept { return description_; }

    // The same failure passed on by a caller that names its own place in front.
    [[nodiscard]] AppError WithPrefix(const std::wstring& prefix) const {
        return AppError(number_, source_, prefix + description_);
    }

  private:
    long number_;
    std::wstring source_;
    std::wstring description_;
};

} // namespace hkv
