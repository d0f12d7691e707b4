#pragma once

#include <functional>
#include <type_traits>

namespace quvex {

// Runs one action that Qt calls into (a slot, a start step). A failure it raises is shown in one
// ErrorBox and does not leave this frame. Returns whether the action completed.
bool guarded(const std::function<void()>& action);

// Wraps an action for connect(): the slot runs through guarded(). Like connect() itself, it
// drops signal arguments that the action does not take.
template <typename F> auto guardedSlot(F action) {
    return [action = std::move(action)](auto&&... args) {
        guarded([&] {
            if constexpr (std::is_invocable_v<const F&, decltype(args)...>)
                action(std::forward<decltype(args)>(args)...);
            else
                action();
        });
    };
}

} // namespace quvex
