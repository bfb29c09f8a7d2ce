#include "net/IdBuffer.h"

#include "net/IdException.h"
#include "net/IdResourceStrings.h"

#include <cstring>

namespace brinmor {

void TIdBuffer::Reserve(int capacity) {
    if (capacity <= capacity_)
        return;
    const int grown = capacity_ > capacity / 2 ? capacity_ * 2 : capacity;
    const int wanted = grown > capacity ? grown : capacity;
    auto bigger = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(wanted));
    if (size_ > 0)
        std::memcpy(bigger.get(), data_.get(), static_cast<std::size_t>(size_));
    data_ = std::move(bigger);
    capacity_ = wanted;
}

void TIdBuffer::SetSize(int size) {
    if (size < 0)
        size = 0;
    Reserve(size);
    size_ = size;
}

void TIdBuffer::Append(const void* data, int count) {
    if (count <= 0)
        return;
    std::memcpy(Extend(count), data, static_cast<std::size_t>(count));
}

void TIdBuffer::Clear() {
    data_.reset();
    size_ = 0;
    capacity_ = 0;
}

std::uint8_t* TIdBuffer::Extend(int count) {
    const int old = size_;
    SetSize(size_ + (count < 0 ? 0 : count));
    return data_.get() + old;
}

void TIdBuffer::Truncate(int size) {
    if (size >= 0 && size < size_)
        size_ = size;
}

void TIdBuffer::RemoveBytes(int count) {
    if (count > size_)
        throw EIdException(RSNotEnoughDataInBuffer);
    if (count <= 0)
        return;
    if (count == size_) {
        Clear();
        return;
    }
    std::memmove(data_.get(), data_.get() + count, static_cast<std::size_t>(size_ - count));
    size_ -= count;
}

} // namespace brinmor
