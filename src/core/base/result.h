#pragma once

#include "core/base/message.h"

#include <optional>
#include <utility>
#include <variant>

namespace vadazaz {

// What a window-free operation gives back: its value, or the message that says why there is none
// (a refusal the user can act on, or a failure with its reason).
template <typename T> class [[nodiscard]] Result
{
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Message failure) : state_(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return std::get<0>(state_); }
    T &value() & { return std::get<0>(state_); }
    T &&value() && { return std::get<0>(std::move(state_)); }
    const T &operator*() const & { return value(); }
    T &operator*() & { return value(); }
    const T *operator->() const { return &value(); }
    T *operator->() { return &value(); }

    const Message &failure() const { return std::get<1>(state_); }

private:
    std::variant<T, Message> state_;
};

// An operation that gives nothing back but may fail.
template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Message failure) : failure_(std::move(failure)) {}

    bool ok() const { return !failure_; }
    explicit operator bool() const { return ok(); }
    const Message &failure() const { return *failure_; }

private:
    std::optional<Message> failure_;
};

} // namespace vadazaz
