#pragma once

#include "prompter.h"

#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace common {

// What went wrong, as a value: the result code a caller acts on and the
// message the operator is to learn. Code that fails returns one; the front end
// decides how to show it (a message box in the window, "title: text" on
// standard error, a board's outcome in a fleet or the service's state).
// Result codes of failures that are no exchange's (3, 4 and 5 are).
inline constexpr int kFailedCode = 1;  // the work ran and stopped on a problem
inline constexpr int kRefusedCode = 2; // refused before anything was done

struct Failure
{
    int code = kFailedCode;
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::Error;

    Message message() const { return Message{text, title, icon, MessageButtons::Ok}; }
    friend bool operator==(const Failure &, const Failure &) = default;
};

// Whether something worked: empty when it did.
using Status = std::optional<Failure>;

// Shows a failure as the message it carries.
inline void tell(Prompter &prompter, const Failure &failure)
{
    prompter.show(failure.message());
}

// A value, or the failure that stopped it from being made.
template <typename T> class [[nodiscard]] Expected
{
public:
    Expected(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Expected(Failure failure) : m_state(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T &value() { return std::get<0>(m_state); }
    const T &value() const { return std::get<0>(m_state); }
    T &operator*() { return value(); }
    const T &operator*() const { return value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }

    const Failure &failure() const { return std::get<1>(m_state); }
    // The failure, or nothing when there is a value.
    Status status() const { return ok() ? Status() : Status(failure()); }

private:
    std::variant<T, Failure> m_state;
};

} // namespace common
