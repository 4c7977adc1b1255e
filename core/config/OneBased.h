#pragma once

#include <array>
#include <cassert>
#include <cstddef>

// A fixed table indexed 1..N, so code reads like the tables it implements
// (Group[n], n = 1..80). The index is range-checked in debug builds.
template <typename T, std::size_t N>
class OneBased {
public:
    static constexpr int size() { return static_cast<int>(N); }

    T& operator[](int index)
    {
        assert(index >= 1 && index <= static_cast<int>(N));
        return items_[static_cast<std::size_t>(index - 1)];
    }
    const T& operator[](int index) const
    {
        assert(index >= 1 && index <= static_cast<int>(N));
        return items_[static_cast<std::size_t>(index - 1)];
    }

    void fill(const T& value) { items_.fill(value); }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    bool operator==(const OneBased&) const = default;

private:
    std::array<T, N> items_{};
};
