// The few edits every change of a row list is made of (elements taken out or put in at given
// places, a block moved, a new order), for the rows themselves and for anything an owner keeps
// beside each row, and where an index into the list goes with each. Each edit touches the list
// from its first changed place on only, each element once.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

namespace controls {

// Ascending, unique element indices.
using RowIndices = std::vector<int>;

// Takes the elements at the indices out, in one pass; they go to *taken in their order.
template <typename T>
void eraseAt(std::vector<T>& v, const RowIndices& at, std::vector<T>* taken = nullptr)
{
    if (at.empty())
        return;
    if (taken != nullptr)
        taken->reserve(taken->size() + at.size());
    auto out = v.begin() + at.front();
    std::size_t next = 0;
    for (auto in = out; in != v.end(); ++in) {
        if (next < at.size() && at[next] == static_cast<int>(in - v.begin())) {
            ++next;
            if (taken != nullptr)
                taken->push_back(std::move(*in));
            continue;
        }
        if (out != in)
            *out = std::move(*in);
        ++out;
    }
    v.erase(out, v.end());
}

// Puts the items (moved from [first, last), in order) in so that they stand at the indices of the
// result. The elements before the first index stay where they are.
template <typename T, typename Iterator>
void insertAt(std::vector<T>& v, const RowIndices& at, Iterator first, Iterator last)
{
    if (at.empty())
        return;
    const std::size_t oldSize = v.size();
    const std::size_t count = at.size();
    if (at.back() == static_cast<int>(oldSize + count - 1) && at.front() == static_cast<int>(oldSize)) {
        v.insert(v.end(), first, last);  // appended: nothing moves
        return;
    }
    v.resize(oldSize + count);
    // From the back, so that every element moves once, straight to its place.
    std::size_t from = oldSize;
    std::size_t k = count;
    Iterator item = last;
    for (std::size_t to = oldSize + count; k > 0;) {
        --to;
        if (static_cast<std::size_t>(at[k - 1]) == to) {
            --k;
            --item;
            v[to] = std::move(*item);
        } else {
            --from;
            v[to] = std::move(v[from]);
        }
    }
}

template <typename T>
void insertAt(std::vector<T>& v, const RowIndices& at, std::vector<T>&& items)
{
    insertAt(v, at, std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
}

// The indices [index, index + count).
inline RowIndices indexRange(int index, int count)
{
    RowIndices at(static_cast<std::size_t>(std::max(count, 0)));
    for (std::size_t i = 0; i < at.size(); ++i)
        at[i] = index + static_cast<int>(i);
    return at;
}

// Where index goes when the elements at `at` are taken out: -1 when it is one of them.
inline int indexAfterErase(int index, const RowIndices& at)
{
    if (index < 0)
        return index;
    const auto it = std::lower_bound(at.begin(), at.end(), index);
    if (it != at.end() && *it == index)
        return -1;
    return index - static_cast<int>(it - at.begin());
}

// Where index goes when elements are put in at `at` (indices of the result).
inline int indexAfterInsert(int index, const RowIndices& at)
{
    if (index < 0)
        return index;
    for (int p : at) {
        if (p > index)
            break;
        ++index;
    }
    return index;
}

// A block moved: the elements at `from` taken out and put back, in their order, at `to`
// (indices of the result; as many as `from`). Only the elements between the first and the last
// place the block leaves or takes move.
template <typename T>
void moveAt(std::vector<T>& v, const RowIndices& from, const RowIndices& to)
{
    if (from.empty())
        return;
    const int lo = std::min(from.front(), to.front());
    const int hi = std::max(from.back(), to.back());
    std::vector<T> window(std::make_move_iterator(v.begin() + lo), std::make_move_iterator(v.begin() + hi + 1));
    auto shifted = [lo](RowIndices at) {
        for (int& i : at)
            i -= lo;
        return at;
    };
    std::vector<T> moving;
    eraseAt(window, shifted(from), &moving);
    insertAt(window, shifted(to), std::move(moving));
    std::move(window.begin(), window.end(), v.begin() + lo);
}

inline int indexAfterMove(int index, const RowIndices& from, const RowIndices& to)
{
    if (index < 0)
        return index;
    const auto it = std::lower_bound(from.begin(), from.end(), index);
    if (it != from.end() && *it == index)
        return to[static_cast<std::size_t>(it - from.begin())];
    return indexAfterInsert(indexAfterErase(index, from), to);
}

// Puts the elements into the order given: element i afterwards is the one that was at order[i]
// (order holds every index once). Each element moves once, in place.
template <typename T>
void applyOrder(std::vector<T>& v, const std::vector<int>& order)
{
    // Each cycle of the permutation is followed once: its first element is held aside while the
    // others move up into the places they are called to.
    std::vector<bool> placed(order.size(), false);
    for (std::size_t start = 0; start < order.size(); ++start) {
        if (placed[start])
            continue;
        placed[start] = true;
        if (static_cast<std::size_t>(order[start]) == start)
            continue;
        T held = std::move(v[start]);
        std::size_t pos = start;
        for (;;) {
            const auto from = static_cast<std::size_t>(order[pos]);
            if (from == start) {
                v[pos] = std::move(held);
                break;
            }
            v[pos] = std::move(v[from]);
            placed[from] = true;
            pos = from;
        }
    }
}

// The order that puts elements reordered by `order` back.
inline std::vector<int> inverseOrder(const std::vector<int>& order)
{
    std::vector<int> inverse(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        inverse[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    return inverse;
}

// The first place a reorder changes; the size when it changes nothing.
inline int firstReordered(const std::vector<int>& order)
{
    int i = 0;
    while (i < static_cast<int>(order.size()) && order[static_cast<std::size_t>(i)] == i)
        ++i;
    return i;
}

}  // namespace controls
