#pragma once

#include <cstdint>
#include <vector>

namespace brinmor {

// A growable byte area: appended at the end, consumed from the front.
class TIdBuffer {
public:
    int Size() const { return static_cast<int>(bytes_.size()); }
    std::uint8_t* Memory() { return bytes_.data(); }
    const std::uint8_t* Memory() const { return bytes_.data(); }

    void SetSize(int size);
    void Append(const void* data, int count);
    void Clear();

    // Drops the first count bytes; more than Size() raises "Not enough data in buffer." and
    // leaves the buffer as it was.
    void RemoveBytes(int count);

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace brinmor
