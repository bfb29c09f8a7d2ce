#pragma once

#include <cstdint>
#include <memory>

namespace brinmor {

// A growable byte area: appended at the end, consumed from the front.
class TIdBuffer {
public:
    int Size() const { return size_; }
    std::uint8_t* Memory() { return data_.get(); }
    const std::uint8_t* Memory() const { return data_.get(); }

    // Keeps the first bytes; bytes beyond the old size are unspecified.
    void SetSize(int size);
    void Append(const void* data, int count);
    // Size 0, memory released.
    void Clear();
    // Grows the size by count and returns the start of the new, unfilled part; Truncate gives
    // back what was not filled.
    std::uint8_t* Extend(int count);
    void Truncate(int size);

    // Drops the first count bytes; more than Size() raises "Not enough data in buffer." and
    // leaves the buffer as it was.
    void RemoveBytes(int count);

private:
    void Reserve(int capacity);

    std::unique_ptr<std::uint8_t[]> data_;
    int size_ = 0;
    int capacity_ = 0;
};

} // namespace brinmor
